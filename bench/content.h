// SPDX-License-Identifier: GPL-3.0-or-later
// Generated content for the benchmarks: the same on every run, sized like the real
// content or far larger, written into a test fixture's folder.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

class Fixture;

namespace bench {

// A topic file (Windows-1251, CR LF) of many topics of several paragraphs each.
struct TopicFile {
    QByteArray bytes;
    int topics = 0;
    QString lastTitle; // of the last topic in the file, which also sorts last
};
TopicFile makeTopicFile(qint64 targetBytes, quint32 seed);

// A breed catalogue of this many records with descriptions of about 1 KB, like the real
// one. Photos are written for the first and the last breed only.
struct Catalogue {
    QByteArray bytes;
    QString lastName;
};
Catalogue writeCatalogue(Fixture& fixture, int records);

// Every picture start-up reads, at the sizes of the real art and photos, with busy
// content so that decoding costs what a photo costs.
void writeStartupPictures(Fixture& fixture);

// Start-up pictures, five topic files of about 40 KB and a catalogue of 136 breeds.
void writeStandardContent(Fixture& fixture);
inline constexpr int StandardBreeds = 136;
inline constexpr qint64 StandardTopicBytes = 40'000;

QByteArray standardTopicFile(int section);

} // namespace bench
