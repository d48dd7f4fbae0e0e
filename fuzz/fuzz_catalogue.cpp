// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the catalogue reader, as if they were the breed catalogue.
#include "base/text.h"
#include "formats/catalogfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// Beyond crashes: what the reader promises about every file.
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_catalogue: broken promise: %s\n", what);
        std::abort();
    }
}

// CR LF, CR and LF each end one line.
int lineEnds(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        if (text[i] == u'\r' || text[i] == u'\n') ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        base::decodeCp1251(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Every byte is one character in this code page; anything else means the decoder is
    // missing and nothing below would be exercised.
    check(text.size() == qsizetype(size), "one character per byte");

    const QList<catalogue::Record> records = catalogue::parseRecords(text);
    for (const catalogue::Record& record : records) {
        const std::optional<QString> path = catalogue::photoPath(record.photoFile);
        check(path.has_value() == (record.photoFile.size() >= 3), "photo path iff extension");
        if (path)
            check(path->startsWith(QLatin1String("dog\\")) &&
                      path->endsWith(QLatin1String("jpg")) &&
                      path->size() == record.photoFile.size() + 4,
                  "photo path shape");
    }

    // Field by field the same text gives the same records, and the line count follows
    // every line end read.
    catalogue::FieldReader reader(text);
    QStringList fields;
    int line = reader.line();
    check(line == 1, "reader starts on line 1");
    while (std::optional<QString> field = reader.readField()) {
        check(reader.line() >= line, "line number never goes back");
        line = reader.line();
        fields.append(std::move(*field));
    }
    check(reader.atEnd(), "no field left means the end");
    check(reader.line() == lineEnds(text) + 1, "every line end counted once");
    check(records.size() == fields.size() / 3, "complete records only");
    for (qsizetype i = 0; i < records.size(); ++i)
        check(records[i].name == fields[3 * i] && records[i].description == fields[3 * i + 1] &&
                  records[i].photoFile == fields[3 * i + 2],
              "records are the fields in threes");

    // Read straight from the bytes, as the window fills its list, the same records,
    // whether the bytes come whole or in pieces of a size the input picks.
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype piece = size ? qsizetype(data[0] % 7) + 1 : 1;
    for (const catalogue::NameScan& scan :
         {catalogue::scanNames(bytes), catalogue::scanNames(bytes, piece)}) {
        check(scan.names.size() == records.size(), "as many names from the bytes");
        for (qsizetype i = 0; i < records.size(); ++i)
            check(scan.names[i] == records[i].name, "the same names from the bytes");
        check(scan.first.has_value() == !records.isEmpty(), "a first record iff any");
        // A record read again from where the scan says it starts is that record.
        check(scan.offsets.size() == records.size(), "a place for every record");
        for (qsizetype i = 0; i < std::min<qsizetype>(records.size(), 4); ++i) {
            const QByteArrayView from = bytes.sliced(scan.offsets[i]);
            const std::optional<catalogue::Record> again =
                catalogue::firstRecord([from, done = false]() mutable {
                    return std::exchange(done, true) ? QByteArray() : from.toByteArray();
                });
            check(again && again->name == records[i].name &&
                      again->description == records[i].description &&
                      again->photoFile == records[i].photoFile,
                  "a record read again from its place");
        }
        if (scan.first)
            check(scan.first->description == records.first().description &&
                      scan.first->photoFile == records.first().photoFile,
                  "the same first record from the bytes");
    }
    if (!records.isEmpty()) {
        qsizetype same = 0;
        for (const catalogue::Record& record : records)
            same += record.name == records.last().name;
        check(catalogue::recordsNamed(bytes, records.last().name).size() == same &&
                  catalogue::recordsNamed(bytes, records.last().name, piece).size() == same,
              "every record of a name found from the bytes");
    }
    return 0;
}
