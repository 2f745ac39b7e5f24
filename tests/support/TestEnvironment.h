#pragma once

#include <QByteArray>
#include <QString>

namespace brisvale::test {

// Points XDG_CONFIG_HOME and BRISVALE_WINDIR at fresh temporary folders (the
// Windows directory gets copies of the shipped data files). Called by the
// test mains before the application object exists.
void setUpIsolatedEnvironment();

// The temporary root made for this process.
QString scratchRoot();
// A fresh, empty folder under the scratch root.
QString freshFolder(const QString &name);
// Folder of checked-in test files.
QString testDataDir();

// The bytes of a file, or "<missing>" when it cannot be read, so a vanished
// file never compares equal to an empty one.
QByteArray fileContents(const QString &path);
// Replaces a file with the bytes; the test fails when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);

} // namespace brisvale::test
