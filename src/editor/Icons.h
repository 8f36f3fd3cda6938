// Icons beside the captions of the tool palette, the editor's tool bar and the window's menus:
// the desktop theme's icon of a standard name, else the program's own SVG of that name.
#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace bb {

// The standard icon name for a control's objectName ("OpenItem" -> "document-open"); empty
// for controls without an icon.
QString iconNameFor(const QString& objectName);

// The program's own artwork for a standard icon name (null when it has none).
QIcon fallbackIcon(const QString& iconName);

// The theme's icon `iconName`, the program's own artwork where the theme has none.
QIcon themedIcon(const QString& iconName);

// Gives every action below `window` whose objectName has an icon (iconNameFor) that icon,
// also the actions that menus add later, when the menu opens. Actions that have an icon
// already keep it. Returns the number of actions given an icon now.
int decorateWindow(QWidget& window);

}  // namespace bb
