// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the topic file reader, as if they were a section's file.
#include "base/text.h"
#include "formats/topicfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Beyond crashes: what the reader promises about every file.
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_topics: broken promise: %s\n", what);
        std::abort();
    }
}

// The last line of the file without its "#": often a title, and easy for the fuzzer to
// turn into one.
QString lastLineAsTitle(const QString& text) {
    const qsizetype cut = std::max(text.lastIndexOf(u'\r'), text.lastIndexOf(u'\n'));
    QString line = text.mid(cut + 1);
    if (line.startsWith(u'#')) line.remove(0, 1);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        base::decodeCp1251(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Every byte is one character in this code page; anything else means the decoder is
    // missing and nothing below would be exercised.
    check(text.size() == qsizetype(size), "one character per byte");

    const topics::TitleScan scan = topics::scanTitles(text);
    check(scan.hasFirstTopic == !scan.titles.isEmpty(), "first topic read iff titles found");
    if (scan.hasFirstTopic) {
        check(scan.firstTitle == scan.titles.constFirst(), "first title is the first listed");
        // The first run of the first topic is the text the scan read along the way.
        check(topics::readTopic(text, scan.firstTitle).startsWith(scan.firstText),
              "first topic text matches its first run");
    }

    // Every listed title has a line of its own, so its topic has at least one run.
    const qsizetype few = std::min<qsizetype>(scan.titles.size(), 4);
    for (qsizetype i = 0; i < few; ++i)
        check(!topics::readTopic(text, scan.titles.at(i)).isEmpty(), "listed title has a run");

    topics::readTopic(text, lastLineAsTitle(text));

    // Read straight from the bytes, as the reader window reads them: the same titles and
    // texts.
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const topics::TitleScan fromBytes = topics::scanTitles(bytes);
    check(fromBytes.titles == scan.titles && fromBytes.firstText == scan.firstText,
          "the same titles and first text from the bytes");
    for (qsizetype i = 0; i < few; ++i)
        check(topics::readTopic(bytes, scan.titles.at(i)) ==
                  topics::readTopic(text, scan.titles.at(i)),
              "the same topic from the bytes");
    return 0;
}
