// A language file: any content fills the table and the settings without harm.
#include "fuzzinput.h"
#include "settings/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LangTable table;
    LangSettings settings;
    std::optional<int> tabs;
    LanguageFile::read(FuzzInput::asFile(QStringLiteral("Lang_Fuzz.txt"), data, size), table, settings, &tabs);
    if (tabs && (*tabs < -1 || *tabs > (1 << 16)))
        __builtin_trap();
    return 0;
}
