#pragma once

#include <QString>

#include <cstdint>

// Window geometry kept between runs in Data/QuorlOffice.Ini: thirteen lines, all in twips.
// The main window's rectangle is held in 32 bits: a 16-bit field ends at 32767 twips,
// 2184 pixels, narrower than many screens. The file keeps plain decimal lines.
struct IniSettings
{
    int32_t windowTop = 0;
    int32_t windowLeft = 0;
    int32_t windowHeight = 0;
    int32_t windowWidth = 0;
    double tabWinTop = 0, tabWinLeft = 0, tabWinHeight = 0, tabWinWidth = 0;
    double editWinTop = 0, editWinLeft = 0, editWinHeight = 0, editWinWidth = 0;
    int16_t startState = 0; // 2 = fill the screen at start
};

// The main window's rectangle as it is now, in twips; the writer takes lines 1 to 4
// from the live window, not from the remembered values.
struct LiveWindowRect
{
    long long top = 0, left = 0, height = 0, width = 0;
};

namespace IniFile {

// Reads the settings file. A missing file resets only the main window's rectangle
// (0, 0, screen size).
// The reader's lower limits (2000 and 3000 twips) differ from the writer's (1000 and
// 2000): a height written as 1000 is read back as the screen height.
void read(const QString &path, IniSettings &settings, int32_t screenHeight, int32_t screenWidth);
void parse(const QStringList &lines, IniSettings &settings, int32_t screenHeight, int32_t screenWidth);

// Writes the thirteen lines, replacing the file atomically.
bool save(const QString &path, const IniSettings &settings, const LiveWindowRect &window,
          QString *error = nullptr);

} // namespace IniFile
