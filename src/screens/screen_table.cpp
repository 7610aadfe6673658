#include "screens/screen_table.h"

#include "screens/interfaces/interface_screens.h"
#include "screens/printers/printer_table.h"

namespace screens {

namespace {

ScreenEntry printerEntry(const PrinterModel& model) {
    return {model.formName, model.family, model.commands->name, &model,
            [&model](toolkit::Application& app, Context& context) {
                app.open<PrinterScreen>(context, model);
            }};
}

}  // namespace

const std::vector<ScreenEntry>& screenTable() {
    static const std::vector<ScreenEntry> kTable = [] {
        std::vector<ScreenEntry> table = interfaceScreens();
        for (const PrinterBrand* brand : printerBrands()) {
            table.push_back(printerEntry(brand->serial));
            table.push_back(printerEntry(brand->parallel));
        }
        return table;
    }();
    return kTable;
}

const ScreenEntry* screenNamed(std::string_view formName) {
    for (const ScreenEntry& entry : screenTable()) {
        if (entry.formName == formName)
            return &entry;
    }
    return nullptr;
}

}  // namespace screens
