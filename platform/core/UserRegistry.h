#pragma once
// The current user's registry: values under key paths such as
// "SOFTWARE\Ostrel\Tamsel", kept in the user's settings file (QSettings,
// native format, organisation "Ostrel", application "Tamsel"; normally
// ~/.config/Ostrel/Tamsel.conf).
//
// The program's own key "SOFTWARE\Ostrel\Tamsel" is the top of that file;
// its subkeys are groups in it, and any other key path is kept under its full
// path. "\" and "/" both separate keys. Key and value names compare without
// regard to case, as in the registry: a value written again keeps the
// spelling it was first written with.
//
// A missing value reads as the default. A write that does not reach the file
// raises ERegistryException "Failed to set data for '<name>'".
//
// With a DirectoryOverride (Directories.h) whose ConfigHome is set, the file
// is ConfigHome + "/Ostrel/Tamsel.conf" (tests).

#include "platform/core/Exception.h"

#include <QString>

class ERegistryException : public Exception {
    using Exception::Exception;
};

class UserRegistry {
public:
    // The program's own key.
    static const QString TamselKey; // "SOFTWARE\Ostrel\Tamsel"

    static QString ReadString(const QString& keyPath, const QString& name, const QString& defaultValue = QString());
    static void WriteString(const QString& keyPath, const QString& name, const QString& value);
    // An integer value; the default when missing or not a whole number.
    static int ReadInteger(const QString& keyPath, const QString& name, int defaultValue);
    static void WriteInteger(const QString& keyPath, const QString& name, int value);
    static bool ValueExists(const QString& keyPath, const QString& name);

    // The settings file in use.
    static QString FileName();
};
