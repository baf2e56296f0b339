// The history: any content is read, and saved again keeps its last sixteen lines.
#include "fuzzinput.h"
#include "settings/history.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList items = HistoryFile::read(FuzzInput::asFile(QStringLiteral("QuorlOffice.Hys"), data, size));
    const QString again = FuzzInput::folder() + QStringLiteral("/again.Hys");
    HistoryFile::save(again, items);
    if (HistoryFile::read(again) != HistoryFile::linesToSave(items))
        __builtin_trap();
    return 0;
}
