// The options file: any content is read into the six values without harm.
#include "fuzzinput.h"
#include "settings/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Options options;
    OptionsFile::read(FuzzInput::asFile(QStringLiteral("QuorlOffice.Opt"), data, size), options,
                      QStringLiteral("quorl:start"));
    return 0;
}
