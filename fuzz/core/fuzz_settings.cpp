#include "FuzzTarget.h"
// The settings reader on arbitrary bytes: every key reads without trouble, a written file reads
// back as written, and a save's keys read back as saved without disturbing each other.
#include "core/SettingsFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini = IniFile::parse(bytes);
    for (const SettingsFile::Key &key : SettingsFile::keys())
        SettingsFile::describe(ini, key);

    // Once written, the text is stable: reading and writing again changes nothing.
    const QByteArray once = ini.toBytes();
    const QByteArray twice = IniFile::parse(once).toBytes();
    if (IniFile::parse(twice).toBytes() != twice)
        __builtin_trap();

    int i = 0;
    for (const SettingsFile::Key &key : SettingsFile::keys())
        ini.setValue(QLatin1String(key.section), QLatin1String(key.name), QString::number(i++));
    const IniFile back = IniFile::parse(ini.toBytes());
    i = 0;
    for (const SettingsFile::Key &key : SettingsFile::keys()) {
        const QString expected = QString::number(i++);
        if (ini.value(QLatin1String(key.section), QLatin1String(key.name)) != expected
            || back.value(QLatin1String(key.section), QLatin1String(key.name)) != expected)
            __builtin_trap();
    }
    return 0;
}
