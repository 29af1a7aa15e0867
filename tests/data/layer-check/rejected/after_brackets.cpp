// layer-check expects: line 7, QtGui
// Brackets, semicolons and backslashes on the lines before must not shift the line count.
#include <QString>
int table[2] = {1, 2}; const char *s = "\\[;]";
auto f = [] { return ";"; };

#include <QPixmap>
