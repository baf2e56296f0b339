// The text-file layer: any bytes decode, split into lines and yield numbers without harm,
// and every text it decodes is written and read back as the same text.
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = TextFile::decode(FuzzInput::bytes(data, size));
    for (const QString &line : TextFile::splitLines(text)) {
        (void)TextFile::leadingNumber(line);
        (void)TextFile::toInt16(line);
        (void)TextFile::boundedInt(TextFile::leadingNumberOr0(line), -100, 100);
        if (const auto number = TextFile::leadingNumber(line)) {
            if (std::isfinite(*number) && TextFile::leadingNumber(TextFile::decimal(*number)) != *number)
                __builtin_trap();
        }
    }
    if (TextFile::decode(TextFile::encode(text)) != text)
        __builtin_trap();
    return 0;
}
