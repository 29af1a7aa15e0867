#include "tags/ReaderFailureHook.h"

#include <QDebug>

namespace {
std::function<void(const QString &)> &hook()
{
    static std::function<void(const QString &)> h;
    return h;
}
} // namespace

void setReaderFailureHook(std::function<void(const QString &message)> h)
{
    hook() = std::move(h);
}

void reportReaderFailure(const QString &message)
{
    if (hook())
        hook()(message);
    else
        qWarning().noquote() << message;
}
