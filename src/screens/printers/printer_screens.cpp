#include "screens/printers/printer_screens.h"

#include "screens/printers/citizen_screens.h"
#include "screens/printers/epson_screens.h"
#include "screens/printers/ithaca_screens.h"
#include "screens/printers/star_screens.h"

namespace screens {

void openPrinterScreen(toolkit::Application& app, Context& context, ScreenId screen) {
    switch (screen) {
        case ScreenId::StarParallelform:
            app.open<StarParallelform>(context);
            break;
        case ScreenId::StarSerialform:
            app.open<StarSerialform>(context);
            break;
        case ScreenId::EPSONParallelform:
            app.open<EPSONParallelform>(context);
            break;
        case ScreenId::EPSONSerialform:
            app.open<EPSONSerialform>(context);
            break;
        case ScreenId::CITIZENParallelform:
            app.open<CITIZENParallelform>(context);
            break;
        case ScreenId::CITIZENSerialform:
            app.open<CITIZENSerialform>(context);
            break;
        case ScreenId::ITHACAParallelform:
            app.open<ITHACAParallelform>(context);
            break;
        case ScreenId::ITHACASerialform:
            app.open<ITHACASerialform>(context);
            break;
        default:
            break;
    }
}

const PrinterModel* printerModel(ScreenId screen) {
    switch (screen) {
        case ScreenId::StarParallelform:
            return &StarParallelform::model();
        case ScreenId::StarSerialform:
            return &StarSerialform::model();
        case ScreenId::EPSONParallelform:
            return &EPSONParallelform::model();
        case ScreenId::EPSONSerialform:
            return &EPSONSerialform::model();
        case ScreenId::CITIZENParallelform:
            return &CITIZENParallelform::model();
        case ScreenId::CITIZENSerialform:
            return &CITIZENSerialform::model();
        case ScreenId::ITHACAParallelform:
            return &ITHACAParallelform::model();
        case ScreenId::ITHACASerialform:
            return &ITHACASerialform::model();
        default:
            return nullptr;
    }
}

}  // namespace screens
