#pragma once

#include <QIcon>
#include <QStyle>

class QLineEdit;

/// The application style's own standard picture, read once per run: the style decodes the
/// picture's image files every time it is asked, which made each opening of a window with picture
/// buttons noticeably slower. The program never changes its style while it runs.
///
/// The picture is the one the style draws itself, not one of the desktop's icon theme: looking
/// the names up in the theme walks its folders on the first request, for a theme that usually has
/// none of them, and the buttons keep one look everywhere.
QIcon standardPicture(QStyle::StandardPixmap picture);

/// Gives box Qt's button that empties it, drawn with the style's own picture for the same reason.
void showClearButton(QLineEdit *box);
