#pragma once

#include <QIcon>
#include <QStyle>

/// The application style's standard picture, read once per run: the style decodes the picture's
/// image files every time it is asked, which made each opening of a window with picture buttons
/// noticeably slower. The program never changes its style while it runs.
QIcon standardPicture(QStyle::StandardPixmap picture);
