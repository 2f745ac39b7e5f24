// Writes <count> values named <prefix>0, <prefix>1, ... into one key of the
// hive, each as a separate change, the way a second running copy of the
// program would. Exit code 0 when all were written.
#include "platform/RegistryError.h"
#include "platform/RegistryKey.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: registry_writer HIVE KEY PREFIX COUNT\n");
        return 2;
    }
    using namespace brisvale::platform;
    const RegistryHive hive(args[1]);
    try {
        const int count = args[4].toInt();
        for (int i = 0; i < count; ++i) {
            RegistryKey key = RegistryKey::openOrCreate(hive, args[2]);
            key.setString(args[3] + QString::number(i), QStringLiteral("value %1").arg(i));
            key.close();
        }
    } catch (const RegistryError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
