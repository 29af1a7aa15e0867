// The one folder allowed GUI headers.
#include <QImage>
