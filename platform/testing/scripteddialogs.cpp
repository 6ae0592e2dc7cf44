// SPDX-License-Identifier: MIT
#include "scripteddialogs.h"

#include <QTest>

namespace quorvel {

namespace {
const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
    case ScriptedDialogs::Kind::Message:
        return "message box";
    case ScriptedDialogs::Kind::Input:
        return "input box";
    case ScriptedDialogs::Kind::OpenFiles:
        return "open-files dialog";
    case ScriptedDialogs::Kind::Folder:
        return "folder browser";
    case ScriptedDialogs::Kind::Url:
        return "shell open";
    }
    return "box";
}
} // namespace

ScriptedDialogs& ScriptedDialogs::expectMessage(MsgBoxResult answer) {
    m_expected.append({Kind::Message, answer, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& answer) {
    m_expected.append({Kind::Input, MsgBoxResult::Ok, answer, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectOpenFiles(const QStringList& answer) {
    m_expected.append({Kind::OpenFiles, MsgBoxResult::Ok, {}, answer});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectFolder(const QString& answer) {
    m_expected.append({Kind::Folder, MsgBoxResult::Ok, answer, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectUrl() {
    m_expected.append({Kind::Url, MsgBoxResult::Ok, {}, {}});
    return *this;
}

bool ScriptedDialogs::take(Kind kind, const Shown& shown, Expected* out) {
    m_shown.append(shown);
    if (m_expected.isEmpty() || m_expected.constFirst().kind != kind) {
        ++m_unexpected;
        const QByteArray message = QByteArray("unexpected ") + kindName(kind) + ": " +
                                   shown.text.toUtf8().replace('\r', "\\r").replace('\n', "\\n");
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        return false;
    }
    *out = m_expected.takeFirst();
    return true;
}

MsgBoxResult ScriptedDialogs::messageBox(const QString& text, int style, const QString& title) {
    Expected e;
    if (!take(Kind::Message, {Kind::Message, text, style, title, {}}, &e)) {
        return (style & 0xF) == msgstyle::kYesNo ? MsgBoxResult::No : MsgBoxResult::Ok;
    }
    return e.message;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    Expected e;
    return take(Kind::Input, {Kind::Input, prompt, 0, title, defaultText}, &e) ? e.text : QString();
}

QStringList ScriptedDialogs::openFiles(const QString& title, const QString& filter) {
    Expected e;
    return take(Kind::OpenFiles, {Kind::OpenFiles, title, 0, title, filter}, &e) ? e.files
                                                                                 : QStringList();
}

QString ScriptedDialogs::browseForFolder(const QString& prompt, const QString& startFolder) {
    Expected e;
    return take(Kind::Folder, {Kind::Folder, prompt, 0, {}, startFolder}, &e) ? e.text : QString();
}

void ScriptedDialogs::openUrl(const QUrl& url) {
    Expected e;
    take(Kind::Url, {Kind::Url, url.toString(), 0, {}, {}}, &e);
}

QStringList ScriptedDialogs::messages() const {
    QStringList texts;
    for (const Shown& s : m_shown) {
        if (s.kind == Kind::Message) {
            texts.append(s.text);
        }
    }
    return texts;
}

void ScriptedDialogs::clear() {
    m_expected.clear();
    m_shown.clear();
    m_unexpected = 0;
}

} // namespace quorvel
