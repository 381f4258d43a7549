// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LineEditAccessible.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(QAccessible::TextBoundaryType)
Q_DECLARE_METATYPE(TextQuery)

namespace {

// A line edit class of its own, as the board view's editor is.
class NumberEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;
};

} // namespace

class tst_LineEditAccessible : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallLineEditAccessibility(); }
    void answers_data();
    void answers();
};

void tst_LineEditAccessible::answers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QAccessible::TextBoundaryType>("boundary");
    QTest::addColumn<TextQuery>("query");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    using A = QAccessible;
    const QString add = QStringLiteral("Adding");
    const QString name = QStringLiteral("file name");
    const QString own = QStringLiteral("own class");
    const QString hidden = QStringLiteral("password");
    const QString none;
    const auto row = [](const char* tag) -> QTestData& { return QTest::newRow(tag); };
    // "27" in the Add box; the caret is at the end (-2), -1 is the end.
    row("word at the end") << add << "27" << A::WordBoundary << TextQuery::At << 2 << "27" << 0 << 2;
    row("word at -1") << add << "27" << A::WordBoundary << TextQuery::At << -1 << "27" << 0 << 2;
    row("word at the caret") << add << "27" << A::WordBoundary << TextQuery::At << -2 << "27" << 0 << 2;
    row("word at 0") << add << "27" << A::WordBoundary << TextQuery::At << 0 << "27" << 0 << 2;
    row("sentence at the end") << add << "27" << A::SentenceBoundary << TextQuery::At << 2 << "27" << 0 << 2;
    row("sentence at -1") << add << "27" << A::SentenceBoundary << TextQuery::At << -1 << "27" << 0 << 2;
    row("line at the end") << add << "27" << A::LineBoundary << TextQuery::At << 2 << "27" << 0 << 2;
    row("paragraph at 1") << add << "27" << A::ParagraphBoundary << TextQuery::At << 1 << "27" << 0 << 2;
    row("char at 0") << add << "27" << A::CharBoundary << TextQuery::At << 0 << "2" << 0 << 1;
    row("char at 1") << add << "27" << A::CharBoundary << TextQuery::At << 1 << "7" << 1 << 2;
    row("char at the end") << add << "27" << A::CharBoundary << TextQuery::At << 2 << none << -1 << -1;
    row("char before the end") << add << "27" << A::CharBoundary << TextQuery::Before << 2 << "7" << 1 << 2;
    row("char before the caret") << add << "27" << A::CharBoundary << TextQuery::Before << -2 << "7" << 1 << 2;
    row("char before 0") << add << "27" << A::CharBoundary << TextQuery::Before << 0 << none << -1 << -1;
    row("char after 0") << add << "27" << A::CharBoundary << TextQuery::After << 0 << "7" << 1 << 2;
    row("char after 1") << add << "27" << A::CharBoundary << TextQuery::After << 1 << none << -1 << -1;
    row("word before the end") << add << "27" << A::WordBoundary << TextQuery::Before << 2 << none << -1 << -1;
    row("word after 0") << add << "27" << A::WordBoundary << TextQuery::After << 0 << none << -1 << -1;
    row("sentence after the end") << add << "27" << A::SentenceBoundary << TextQuery::After << 2 << none << -1
                                  << -1;
    row("line before 1") << add << "27" << A::LineBoundary << TextQuery::Before << 1 << none << -1 << -1;
    row("word past the end") << add << "27" << A::WordBoundary << TextQuery::At << 3 << none << -1 << -1;
    row("char before the start") << add << "27" << A::CharBoundary << TextQuery::At << -3 << none << -1 << -1;
    row("word in an empty box") << add << "" << A::WordBoundary << TextQuery::At << 0 << none << -1 << -1;
    // Save as's name field, and a line edit class of the program's own.
    row("name: word at the end") << name << "boards27" << A::WordBoundary << TextQuery::At << 8 << "boards27" << 0
                                 << 8;
    row("name: char before the end") << name << "boards27" << A::CharBoundary << TextQuery::Before << 8 << "7" << 7
                                     << 8;
    row("own: word at the end") << own << "42" << A::WordBoundary << TextQuery::At << 2 << "42" << 0 << 2;
    row("own: sentence at -1") << own << "42" << A::SentenceBoundary << TextQuery::At << -1 << "42" << 0 << 2;
    // A hidden text is not read out.
    row("password: word") << hidden << "secret" << A::WordBoundary << TextQuery::At << 6 << none << -1 << -1;
    row("password: char") << hidden << "secret" << A::CharBoundary << TextQuery::At << 0 << none << -1 << -1;
}

void tst_LineEditAccessible::answers()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QAccessible::TextBoundaryType, boundary);
    QFETCH(TextQuery, query);
    QFETCH(int, offset);

    std::unique_ptr<QWidget> owner;
    QLineEdit* edit = nullptr;
    if (field == QLatin1String("Adding")) {
        auto* dialog = new QInputDialog;
        dialog->setWindowTitle(field);
        dialog->setTextValue(text); // makes its line edit
        owner.reset(dialog);
        edit = dialog->findChild<QLineEdit*>();
    } else if (field == QLatin1String("file name")) {
        auto* dialog = new QFileDialog;
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        owner.reset(dialog);
        edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    } else {
        owner = std::make_unique<NumberEdit>();
        edit = static_cast<QLineEdit*>(owner.get());
        if (field == QLatin1String("password"))
            edit->setEchoMode(QLineEdit::Password);
    }
    QVERIFY(edit);
    edit->setText(text);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit);
    QVERIFY(iface);
    // Qt's own interface would spin for good on some of these rows.
    QVERIFY2(dynamic_cast<LineEditAccessible*>(iface), "the line edit has Qt's interface");
    QAccessibleTextInterface* textIface = iface->textInterface();
    QVERIFY(textIface);
    int start = -9;
    int end = -9;
    QString got;
    switch (query) {
    case TextQuery::At:
        got = textIface->textAtOffset(offset, boundary, &start, &end);
        break;
    case TextQuery::Before:
        got = textIface->textBeforeOffset(offset, boundary, &start, &end);
        break;
    case TextQuery::After:
        got = textIface->textAfterOffset(offset, boundary, &start, &end);
        break;
    }
    QTEST(got, "expected");
    QTEST(start, "start");
    QTEST(end, "end");
}

QTEST_MAIN(tst_LineEditAccessible)
#include "tst_LineEditAccessible.moc"
