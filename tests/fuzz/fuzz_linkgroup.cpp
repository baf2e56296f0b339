// A group's link file, with the count the titles file claims for it: any content is
// read into the rows and saved again without harm. The first bytes of the input are the
// count text, up to the first line end.
#include "fuzzinput.h"
#include "linktable/linkfiles.h"
#include "linktable/linktable.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool made = QDir().mkpath(FuzzInput::folder() + QStringLiteral("/Links"));
    (void)made;
    const QString base = LinkFiles::baseName(FuzzInput::folder());
    const QByteArray input = FuzzInput::bytes(data, size);
    const qsizetype end = input.indexOf('\n');
    LinkFiles::GroupList groups;
    groups.entry(1) = {QStringLiteral("Fuzz"), TextFile::decode(input.left(end < 0 ? input.size() : end))};
    TextFile::writeBytes(LinkFiles::groupPath(base, 0), end < 0 ? QByteArray() : input.mid(end + 1));
    LinkTable table(base, &groups);
    table.setMinimumRows(3);
    table.readTable();
    table.sortRows(1, Qt::CaseInsensitive);
    table.saveTable();
    table.readTable();
    return 0;
}
