#pragma once

#include "store/Profile.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

// The program's settings: QSettings("Ardentix", "Ardentix Lockleaf"), or an
// INI file given by tests. Sections and value names are those of the
// registry key the settings stand for (RecentFiles/File0, Layout/Main, ...).
// Failures are silent: a missing or unreadable value reads as absent.
class SettingsProfile : public Profile {
public:
    SettingsProfile();                                // the user's settings
    explicit SettingsProfile(const QString& iniPath); // a file of its own
    ~SettingsProfile() override;

    std::u16string getString(std::u16string_view section, std::u16string_view entry,
                             std::u16string_view defaultValue) override;
    void writeString(std::u16string_view section, std::u16string_view entry,
                     std::u16string_view value) override;

    // A binary value of at most maxSize bytes; absent when missing or larger.
    std::optional<QByteArray> readBinary(const QString& section, const QString& name, int maxSize);
    void writeBinary(const QString& section, const QString& name, const QByteArray& data);

    void sync();

private:
    std::unique_ptr<QSettings> settings_;
};
