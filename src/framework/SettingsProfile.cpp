#include "framework/SettingsProfile.h"

#include <QSettings>

namespace {

QString key(std::u16string_view section, std::u16string_view entry)
{
    return QString::fromUtf16(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/')
           + QString::fromUtf16(entry.data(), static_cast<qsizetype>(entry.size()));
}

} // namespace

SettingsProfile::SettingsProfile()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Ardentix"), QStringLiteral("Ardentix Lockleaf")))
{
}

SettingsProfile::SettingsProfile(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

SettingsProfile::~SettingsProfile()
{
    settings_->sync();
}

std::u16string SettingsProfile::getString(std::u16string_view section, std::u16string_view entry,
                                          std::u16string_view defaultValue)
{
    const QVariant v = settings_->value(key(section, entry));
    if (!v.isValid() || v.typeId() != QMetaType::QString)
        return std::u16string(defaultValue);
    return v.toString().toStdU16String();
}

void SettingsProfile::writeString(std::u16string_view section, std::u16string_view entry,
                                  std::u16string_view value)
{
    settings_->setValue(key(section, entry),
                        QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())));
}

std::optional<QByteArray> SettingsProfile::readBinary(const QString& section, const QString& name, int maxSize)
{
    const QVariant v = settings_->value(section + QLatin1Char('/') + name);
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    QByteArray data = v.toByteArray();
    if (data.size() > maxSize)
        return std::nullopt;
    return data;
}

void SettingsProfile::writeBinary(const QString& section, const QString& name, const QByteArray& data)
{
    settings_->setValue(section + QLatin1Char('/') + name, data);
}

void SettingsProfile::sync()
{
    settings_->sync();
}
