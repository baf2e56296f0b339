// The link group titles: any Links.Bok is read into the group list, every count held
// within a group's size, and written again without harm.
#include "fuzzinput.h"
#include "linktable/linkfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool made = QDir().mkpath(FuzzInput::folder() + QStringLiteral("/Links"));
    (void)made;
    const QString base = LinkFiles::baseName(FuzzInput::folder());
    TextFile::writeBytes(LinkFiles::titlesPath(base), FuzzInput::bytes(data, size));
    LinkFiles::GroupList groups;
    LinkFiles::readTitles(base, groups, QStringLiteral("Group"));
    for (int n = 1; n <= LinkFiles::kGroups; ++n) {
        const int count = groups.countOf(n);
        if (count < 0 || count > LinkFiles::kMaxLinks)
            __builtin_trap();
    }
    LinkFiles::saveTitles(base, groups);
    return 0;
}
