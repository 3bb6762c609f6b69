#pragma once
// A dialog service for tests: confirmations are answered from a queue set by
// the test, and every box shown is recorded, so a test can check what the
// operator would have been asked or told, in order.

#include "controls/DialogService.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QWindow>

class ScriptedDialogs final : public DialogService
{
public:
    enum class Kind
    {
        Confirm,
        Notice,
        Error,
        SaveFile, // text: the proposed path
        OpenFile  // text: the folder it starts in
    };
    struct Shown
    {
        Kind kind;
        QString text;
        // Whether the parent's window was on the screen (exposed) when the
        // box was asked for.
        bool windowExposed = false;
    };

    // Answers for the next confirmations, in order; when the queue is empty a
    // confirmation is answered No (and still recorded).
    void answer(std::initializer_list<bool> answers) { m_answers.append(QList<bool>(answers)); }

    bool confirm(QWidget *, const QString &text) override
    {
        m_shown.append({Kind::Confirm, text});
        return m_answers.isEmpty() ? false : m_answers.takeFirst();
    }
    void notice(QWidget *parent, const QString &text) override
    {
        const QWindow *window = parent ? parent->window()->windowHandle() : nullptr;
        m_shown.append({Kind::Notice, text, window && window->isExposed()});
    }
    void error(QWidget *, const QString &text) override { m_shown.append({Kind::Error, text}); }

    // Answers for the next save-file questions, in order; when the queue is
    // empty the question is answered as cancelled (and still recorded).
    void answerSaveFile(const QString &path) { m_savePaths.append(path); }
    QString saveFileName(QWidget *, const QString &, const QString &proposedPath, const QString &) override
    {
        m_shown.append({Kind::SaveFile, proposedPath});
        return m_savePaths.isEmpty() ? QString() : m_savePaths.takeFirst();
    }

    // Answers for the next open-file questions, in order; an empty queue
    // answers as cancelled (and the question is still recorded).
    void answerOpenFile(const QString &path) { m_openPaths.append(path); }
    QString openFileName(QWidget *, const QString &, const QString &startDir, const QString &) override
    {
        m_shown.append({Kind::OpenFile, startDir});
        return m_openPaths.isEmpty() ? QString() : m_openPaths.takeFirst();
    }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts(Kind kind) const
    {
        QStringList out;
        for (const Shown &s : m_shown) {
            if (s.kind == kind)
                out << s.text;
        }
        return out;
    }
    QStringList errors() const { return texts(Kind::Error); }
    QStringList notices() const { return texts(Kind::Notice); }
    QStringList confirms() const { return texts(Kind::Confirm); }
    void clear() { m_shown.clear(); }
    // Forgets the answers not asked for.
    void dropAnswers() { m_answers.clear(); }
    int pendingAnswers() const { return int(m_answers.size()); }

private:
    QList<bool> m_answers;
    QStringList m_savePaths;
    QStringList m_openPaths;
    QList<Shown> m_shown;
};
