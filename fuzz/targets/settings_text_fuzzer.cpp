// SPDX-License-Identifier: MIT
// Reading the "Settings" text: the chime is on exactly when the first "1" is the text's first
// character, the start at log-on exactly when the first "A" is its third character; what is
// read and written again reads back the same.
//
// Input: byte 0 chooses how the rest reads as text; the rest is the settings text.

#include "fuzz/support/Expected.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t mode = in.byte();
    const QString text = textFrom(in.rest(), mode);

    const ExpectedSettings e = expectedSettings(text);
    const Settings::Values read = Settings::fromText(text);
    const bool chime = read.chime;
    const bool autoStart = read.startAtLogOn;
    const QString about = QStringLiteral("settings %1 read as chime %2 autostart %3")
                              .arg(shown(text))
                              .arg(chime)
                              .arg(autoStart);
    FUZZ_CHECK(chime == e.chime, about);
    FUZZ_CHECK(autoStart == e.autoStart, about);

    // Written as the program writes it, the text is one of four and reads back the same.
    const QString written = Settings::toText(read);
    FUZZ_CHECK(written.size() == 3 && written.at(1) == QLatin1Char(','),
               about + QStringLiteral(" wrote ") + shown(written));
    const Settings::Values again = Settings::fromText(written);
    FUZZ_CHECK(again.chime == chime && again.startAtLogOn == autoStart,
               about + QStringLiteral(" wrote ") + shown(written));
    FUZZ_CHECK(Settings::toText(again) == written, about);
    return 0;
}
