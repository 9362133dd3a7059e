#pragma once

#include "commandinterpreter.h"
#include "dialogs.h"
#include "soundplayer.h"

#include <QQueue>
#include <QStringList>

#include <optional>

// Answers file dialogs from a queue prepared by the test and records every
// dialog and message instead of showing it.
class FakeDialogs : public platform::Dialogs
{
public:
    struct FileRequest
    {
        bool save;
        QString filter;
        QString fileName; // the name the dialog opened with
    };

    QQueue<std::optional<QString>> answers; // nothing = the user cancels
    QList<FileRequest> requests;
    QStringList messages;
    QStringList captions;

    std::optional<QString> openFileName(QWidget *, const QString &filter, const QString &fileName) override
    {
        return answer(false, filter, fileName);
    }
    std::optional<QString> saveFileName(QWidget *, const QString &filter, const QString &fileName) override
    {
        return answer(true, filter, fileName);
    }
    void message(QWidget *, const QString &text, const QString &caption) override
    {
        messages << text;
        captions << caption;
    }

private:
    std::optional<QString> answer(bool save, const QString &filter, const QString &fileName)
    {
        requests.append({save, filter, fileName});
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
};

// Remembers what it was asked to play instead of playing it.
class FakeSound : public platform::SoundOutput
{
public:
    QStringList played;
    void play(const QString &name) override { played << name; }
};

// Records the batch files it is asked to start instead of starting them.
class FakeInterpreter : public platform::CommandInterpreter
{
public:
    struct Start
    {
        QString batchFile;
        QString workingDirectory;
    };
    QList<Start> started;
    bool fails = false;

    bool start(const QString &batchFile, const QString &workingDirectory, QString *error) override
    {
        if (fails) {
            *error = QStringLiteral("no interpreter");
            return false;
        }
        started.append({batchFile, workingDirectory});
        return true;
    }
};
