#include "screens/printers/printer_table.h"

#include <array>
#include <vector>

namespace screens {

std::span<const PrinterBrand* const> printerBrands() {
    static const std::array<const PrinterBrand*, 4> kBrands{&starPrinter(), &epsonPrinter(),
                                                            &citizenPrinter(), &ithacaPrinter()};
    return kBrands;
}

const PrinterBrand* printerBrandNamed(std::string_view name) {
    for (const PrinterBrand* brand : printerBrands()) {
        if (name == brand->commands().name)
            return brand;
    }
    return nullptr;
}

namespace {

std::string listOf(BrandFilter only, const char* last, const char* between, bool titles) {
    std::vector<std::string> words;
    for (const PrinterBrand* brand : printerBrands()) {
        if (only == nullptr || only(*brand))
            words.emplace_back(titles ? brand->commands().title : brand->commands().name);
    }
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? last : between) + words[i];
    return text;
}

}  // namespace

std::string printerNames(BrandFilter only, const char* last, const char* between) {
    return listOf(only, last, between, false);
}

std::string printerTitles(BrandFilter only, const char* last) {
    return listOf(only, last, ", ", true);
}

bool readsDrawerState(const PrinterBrand& brand) {
    return brand.serial.status.has_value();
}

bool hasAlternateTrigger(const PrinterBrand& brand) {
    return brand.serial.triggers.alternateCaption != nullptr;
}

bool pollsAfterPage(const PrinterBrand& brand) {
    return brand.serial.pollsAfterTest;
}

}  // namespace screens
