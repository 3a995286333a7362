// Where things sit on the skin: the places the main window puts its controls over the picture.
#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

namespace artgen {

inline const QSize kSkinSize(520, 499);
// Covered at run time by the scroller strip and the message line; painted black to match.
inline const QRect kTitleStrip(4, 0, 514, 22);
inline const QRect kMessageLine(5, 482, 511, 14);
// Text is drawn over these in white and red, so they stay dark and even.
inline const QRect kTuneListPanel(242, 218, 226, 184);
inline const QRect kReadOutPanel(5, 436, 130, 43);
// The six buttons (Prev, Play, Next, Stop, Info, Exit) sit exactly on these plates.
inline const QRect kButtonPlates[6] = {
    QRect(246, 453, 34, 19),
    QRect(290, 453, 33, 19),
    QRect(333, 453, 40, 19),
    QRect(383, 453, 34, 19),
    QRect(427, 453, 34, 19),
    QRect(471, 453, 37, 19),
};
inline const QRect kPortraitBand(140, 22, 93, 457);
// The cover the desktop's media controls show: a square around the portrait's head.
inline const QRect kCover(96, 44, 180, 180);
inline const QPointF kLogoOrigin(283, 46);

} // namespace artgen
