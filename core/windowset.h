// The five windows, one instance each for the whole run, and the values they hand to
// each other.
#pragma once

#include "pictures.h"

#include <QString>

namespace core {

class FormBase;

struct WindowSet {
    FormBase* Form1 = nullptr; // breed catalogue
    FormBase* Form2 = nullptr; // main window
    FormBase* Form3 = nullptr; // exit confirmation
    FormBase* Form4 = nullptr; // topic reader
    FormBase* Form5 = nullptr; // help and contacts

    QString TopicFilePath;      // topic file of the section last chosen
    quint8 TopicListLoaded = 0; // 0: the reader fills its list when shown
    quint8 CarouselTick = 0;    // the main window's timer count

    PictureCache pictures;
};

} // namespace core
