// A desktop for the GUI tests: it records every message, dialog, program
// start and document, and answers the dialogs with prepared replies.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <deque>
#include <map>
#include <vector>

#include "ui/platform_services.h"
#include "ui/registry.h"

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

struct AskedDialog {
    QString title;
    QString filterDescription;
    QString filterPatterns;
    QString proposedName;
};

struct StartedProgram {
    QString program;
    QStringList arguments;
};

// Registry keys by name, each holding values by name. Counts open and
// closed keys so that a test can see every key closed again.
class FakeRegistry : public RegistryReader {
  public:
    std::map<QString, std::map<QString, RegistryRawValue>> keys;
    int opened = 0;
    int closed = 0;

    std::optional<RegistryKey> openKey(RegistryRoot, const QString& keyName) override {
        auto found = keys.find(keyName);
        if (found == keys.end()) return std::nullopt;
        ++opened;
        handles_.push_back(keyName);
        return handles_.size() - 1;
    }

    std::optional<RegistryRawValue> queryValue(RegistryKey key, const QString& valueName,
                                               int maxChars) override {
        const auto& values = keys.at(handles_.at(key));
        auto found = values.find(valueName);
        if (found == values.end() || found->second.text.size() > maxChars) return std::nullopt;
        return found->second;
    }

    void closeKey(RegistryKey) override { ++closed; }

  private:
    std::vector<QString> handles_;
};

class FakeServices : public PlatformServices {
  public:
    QString folder;
    std::vector<ShownMessage> messages;
    std::deque<QString> inputReplies;  // empty: the input box is cancelled
    QStringList inputPrompts;
    std::deque<QString> fileReplies;  // empty: the file dialog is cancelled
    std::vector<AskedDialog> fileDialogs;
    bool startSucceeds = true;
    std::vector<StartedProgram> started;
    QStringList documents;
    QMap<QString, QString> environment;
    FakeRegistry fakeRegistry;

    void showMessage(QWidget*, QMessageBox::Icon icon, const QString& title,
                     const QString& text) override {
        messages.push_back({icon, title, text});
    }

    QString inputText(QWidget*, const QString& title, const QString& prompt) override {
        inputPrompts << title + QStringLiteral("|") + prompt;
        return next(inputReplies);
    }

    QString openFileName(QWidget*, const QString& title, const FileFilter& filter) override {
        fileDialogs.push_back({title, filter.description, filter.patterns, QString()});
        return next(fileReplies);
    }

    QString saveFileName(QWidget*, const QString& title, const FileFilter& filter,
                         const QString& proposedName) override {
        fileDialogs.push_back({title, filter.description, filter.patterns, proposedName});
        return next(fileReplies);
    }

    bool startDetached(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return startSucceeds;
    }

    void openDocument(const QString& path) override { documents << path; }
    QString programFolder() const override { return folder; }
    QString environmentVariable(const QString& name) const override {
        return environment.value(name);
    }
    RegistryReader& registry() override { return fakeRegistry; }

  private:
    static QString next(std::deque<QString>& replies) {
        if (replies.empty()) return QString();
        QString reply = replies.front();
        replies.pop_front();
        return reply;
    }
};
