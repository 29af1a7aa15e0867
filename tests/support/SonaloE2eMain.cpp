// sonalo_e2e: the program as shipped, plus the table dump that the end-to-end tests read.
#include "app/RunSonalo.h"
#include "support/TableDump.h"

#include <QtGlobal>

int main(int argc, char *argv[])
{
    return runSonalo(argc, argv, [](SonaloApp &app) {
        if (const QString dump = qEnvironmentVariable("SONALO_TEST_DUMP_TABLE"); !dump.isEmpty())
            dumpTableWhenShown(app, dump, qEnvironmentVariableIntValue("SONALO_TEST_DUMP_AFTER_HANDOVERS"),
                               qEnvironmentVariableIsSet("SONALO_TEST_DUMP_KEEP_OPEN"),
                               qEnvironmentVariableIsSet("SONALO_TEST_DUMP_AFTER_ACTIVATION"));
    });
}
