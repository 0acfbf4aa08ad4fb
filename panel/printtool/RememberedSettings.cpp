#include "RememberedSettings.h"

#include <QSettings>

#include "PrintSettingsKeys.h"

namespace kordavine::printtool {

namespace ps = varlo::printsettings;

const char* const RememberedSettings::kKeptKeys[4] = {"JobType", "UserID", "FileName",
                                                      "EnableUserCode"};

namespace {

QString groupOf(const std::string& queue) {
    return QStringLiteral("printer/") + QString::fromStdString(queue);
}

}  // namespace

RememberedSettings::RememberedSettings() = default;

OptionMap RememberedSettings::forPrinter(const std::string& queue) const {
    QSettings file(QStringLiteral("kordavine"), QStringLiteral("joblog-print"));
    file.beginGroup(groupOf(queue));
    OptionMap kept;
    for (const char* key : kKeptKeys) {
        const QVariant value = file.value(QString::fromLatin1(key));
        if (value.isValid())
            kept[std::string(ps::kKeyPrefix) + key] = value.toString().toStdString();
    }
    return kept;
}

bool RememberedSettings::remember(const std::string& queue, const OptionMap& panelSettings,
                                  std::string& error) {
    QSettings file(QStringLiteral("kordavine"), QStringLiteral("joblog-print"));
    file.beginGroup(groupOf(queue));
    file.remove(QString());
    for (const char* key : kKeptKeys) {
        const auto found = panelSettings.find(std::string(ps::kKeyPrefix) + key);
        if (found != panelSettings.end())
            file.setValue(QString::fromLatin1(key), QString::fromStdString(found->second));
    }
    file.endGroup();
    file.sync();
    if (file.status() == QSettings::NoError) return true;
    error = "cannot write " + file.fileName().toStdString();
    return false;
}

}  // namespace kordavine::printtool
