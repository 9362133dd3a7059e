#pragma once

#include "commandinterpreter.h"
#include "dialogs.h"
#include "soundplayer.h"

#include <QQueue>

#include <QStringList>
#include <functional>

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
    QQueue<Answer> questionAnswers; // empty: the user answers No
    QStringList questions;
    QStringList questionCaptions;

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
    // Most tests put a theme into an empty folder; the question whether that
    // is really the game directory is answered Yes there and kept apart.
    bool confirmGameDirectory = true;
    QStringList gameDirectoryQuestions;

    Answer question(QWidget *, const QString &text, const QString &caption, Buttons) override
    {
        if (confirmGameDirectory && text.endsWith(QStringLiteral("Is it really the game directory?"))) {
            gameDirectoryQuestions << text;
            return Answer::Yes;
        }
        questions << text;
        questionCaptions << caption;
        return questionAnswers.isEmpty() ? Answer::No : questionAnswers.dequeue();
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
    std::string why; // unavailable()'s answer
    void play(const std::string &name) override { played << QString::fromLocal8Bit(name.c_str()); }
    std::string unavailable() const override { return why; }
};

// Records the batch files it is asked to run instead of starting a process;
// `onRun`, when set, carries the batch out in place of the interpreter.
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
    End end = End::Finished;
    std::function<void(const std::string &, const std::string &)> onRun;

    vesk::Result<End> run(const std::string &batchFile, const std::string &workingDirectory,
                          std::chrono::milliseconds) override
    {
        if (fails)
            return vesk::Status::failure(vesk::ErrorCode::Io, "cannot start " + batchFile + ": no interpreter");
        started.append({QString::fromStdString(batchFile), QString::fromStdString(workingDirectory)});
        if (onRun)
            onRun(batchFile, workingDirectory);
        return end;
    }
    int waitedForEnd = 0;
    void waitForEnd() override { ++waitedForEnd; }
};
