// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads of a one-line field (QLineEdit): its text by characters, words,
// sentences and the line, its caret and selection, and one run of text attributes over the
// whole text. Qt 6.4's own interface for line edits never returns when asked for the word at
// the end of the text, and answers attribute requests with empty runs that make a reader cut
// the text short; this one takes each boundary from a finished list, so that every offset,
// the end and beyond included, is answered at once. A spin box reads its text from its field
// the same way (Qt's own spin box interface makes a line edit interface of Qt's for it).
#pragma once

class QAbstractSpinBox;
class QAccessibleInterface;
class QLineEdit;

namespace core {

QAccessibleInterface* lineFieldAccessible(QLineEdit* field);
QAccessibleInterface* spinFieldAccessible(QAbstractSpinBox* spin);

} // namespace core
