// SPDX-License-Identifier: MIT
#pragma once
// What every fuzz target shares: a private home and temporary folder, one Qt application
// object, reading fields from the fuzzer's bytes, and the check that stops a run with a report.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstddef>
#include <cstdint>

// Points HOME, the XDG folders and TMPDIR at a fresh folder of the process's own (removed
// again at exit), sets a fixed locale and the offscreen platform, and makes the
// QCoreApplication. Called once, from LLVMFuzzerInitialize.
void initFuzzEnvironment();

// Stops the run with a report of the broken invariant; libFuzzer keeps the input.
[[noreturn]] void fuzzFail(const char* file, int line, const char* condition, const QString& details);

#define FUZZ_CHECK(condition, details)                                                                       \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzFail(__FILE__, __LINE__, #condition, (details));                                             \
    } while (0)

// A visible form of a text for reports: printable ASCII as is, everything else as \uXXXX.
QString shown(const QString& text);

// Reads the fuzzer's bytes front to back; past the end every byte reads as 0.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    // Everything not read yet.
    QByteArray rest()
    {
        const QByteArray bytes(reinterpret_cast<const char*>(data + pos), static_cast<qsizetype>(size - pos));
        pos = size;
        return bytes;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

// A day from two bytes: one of about 180 years from 1 January 1970 on.
QDate dayFrom(uint16_t days);
// A time of day, whole minutes, from two bytes.
QTime timeFrom(uint8_t hour, uint8_t minute);

// Bytes as text in one of three ways chosen by mode: as the program reads its files (UTF-8,
// or Latin-1 when not valid UTF-8), as raw UTF-16 code units (any unit, lone surrogates
// included), or as Latin-1.
QString textFrom(const QByteArray& bytes, uint8_t mode);
