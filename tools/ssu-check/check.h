// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a content folder the way the program will read it, so that a mistake in a topic
// file, the catalogue or a picture shows up before a user meets it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ssucheck {

enum class Severity { Error, Warning, Note };

struct Finding {
    QString file; // relative to the content folder, "/" between folders
    int line = 0; // from 1; 0 when the finding is about the whole file
    Severity severity = Severity::Error;
    QString message;
};

// Every finding for the folder, which plays the program's working directory: topic files
// in file order, then the catalogue and its photos, the breed chooser's facts, then the
// files start-up needs.
QList<Finding> checkContent(const QString& folder);

// "text/HCD.ssu:12: error: message", or "file: error: message" without a line.
QString formatFinding(const Finding& finding);

// The files the program reads by fixed name, relative to the content folder ("/" between
// folders): topic files, the catalogue and the start-up pictures; and the sounds, relative
// to the program's folder. The install check lists them from here.
QStringList contentFiles();
QStringList soundFiles();

int countOf(const QList<Finding>& findings, Severity severity);

// "ssu-check: 0 errors, 2 warnings, 1 note"
QString formatSummary(const QList<Finding>& findings);

} // namespace ssucheck
