// The bookmark file: any content gives its first line, or nothing.
#include "fuzzinput.h"
#include "settings/bookmark.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto address = BookmarkFile::read(FuzzInput::asFile(QStringLiteral("QuorlBook.bm"), data, size));
    if (address && (address->contains(u'\n') || address->contains(u'\r')))
        __builtin_trap();
    return 0;
}
