// The settings file: any content gives thirteen values, and what the writer makes of
// them reads back the same.
#include "fuzzinput.h"
#include "settings/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    IniSettings settings;
    IniFile::read(FuzzInput::asFile(QStringLiteral("QuorlOffice.Ini"), data, size), settings, 15360, 19200);
    const QString again = FuzzInput::folder() + QStringLiteral("/again.Ini");
    IniFile::save(again, settings,
                  LiveWindowRect{settings.windowTop, settings.windowLeft, settings.windowHeight, settings.windowWidth});
    IniSettings back;
    IniFile::read(again, back, 15360, 19200);
    const double before[] = {settings.tabWinTop, settings.tabWinLeft, settings.tabWinHeight, settings.tabWinWidth,
                             settings.editWinTop, settings.editWinLeft, settings.editWinHeight, settings.editWinWidth};
    const double after[] = {back.tabWinTop, back.tabWinLeft, back.tabWinHeight, back.tabWinWidth,
                            back.editWinTop, back.editWinLeft, back.editWinHeight, back.editWinWidth};
    for (int i = 0; i < 8; ++i) {
        if (std::isfinite(before[i]) && before[i] != after[i])
            __builtin_trap();
    }
    return 0;
}
