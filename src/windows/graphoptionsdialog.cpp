#include "windows/graphoptionsdialog.h"

#include "windows/objectnames.h"
#include "widgets/helpcontext.h"
#include "widgets/printableinput.h"
#include "widgets/windowplacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>

namespace {

QLabel *addLabel(QWidget *page, const char *name, const QString &text, const QRect &where, bool bold = false)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(where);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLineEdit *addEdit(QWidget *page, const char *name, const QRect &where, int maxLength = 0)
{
    auto *edit = new QLineEdit(page);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(where);
    widgets::AcceptPrintableOnly(edit);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

void addHiddenBox(QWidget *page, const char *name, const QString &text, const QRect &where)
{
    auto *box = new QCheckBox(text, page);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(where);
    box->setChecked(false);
    box->hide();
}

} // namespace

GraphOptionsDialog::GraphOptionsDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QString(objectnames::OptionsDlg));
    widgets::SetHelpContext(this, 1100);
    setWindowTitle(QStringLiteral("Opciones"));
    setFixedSize(534, 193);

    notebook_ = new QTabWidget(this);
    notebook_->setObjectName(QStringLiteral("TabbedNotebook1"));
    notebook_->setGeometry(6, 6, 432, 181);
    notebook_->addTab(buildTitlesPage(), QStringLiteral("Titulos"));
    notebook_->addTab(buildScalePage(), QStringLiteral("Escala"));
    notebook_->addTab(buildGridPage(), QStringLiteral("Grid"));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(448, 28, 80, 27);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setGeometry(448, 62, 80, 27);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Escape rejects through QDialog, which is what the cancel button does.

    titleEdit_->installEventFilter(this);
}

QWidget *GraphOptionsDialog::buildTitlesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Titulos"));
    // The captions of this page are in English, as the users know them.
    addLabel(page, "Label1", QStringLiteral("Title"), QRect(14, 22, 60, 20));
    titleEdit_ = addEdit(page, "TitleEdit", QRect(80, 20, 330, 24), 60);
    addLabel(page, "Label2", QStringLiteral("Axis X"), QRect(14, 62, 60, 20));
    xLabelEdit_ = addEdit(page, "XLblEdit", QRect(80, 60, 330, 24), 60);
    addLabel(page, "Label3", QStringLiteral("Axis Y"), QRect(14, 102, 60, 20));
    yLabelEdit_ = addEdit(page, "YLblEdit", QRect(80, 100, 330, 24), 40);
    return page;
}

QWidget *GraphOptionsDialog::buildScalePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Escala"));
    addLabel(page, "Label10", QStringLiteral("Limit"), QRect(14, 6, 120, 20), true);

    auto *bevelX = new QFrame(page);
    bevelX->setObjectName(QStringLiteral("Bevel1"));
    bevelX->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevelX->setGeometry(10, 28, 198, 84);
    auto *bevelY = new QFrame(page);
    bevelY->setObjectName(QStringLiteral("Bevel2"));
    bevelY->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevelY->setGeometry(218, 28, 198, 84);

    // X in the left column, Y in the right one, minimum above maximum.
    addLabel(page, "Label11", QStringLiteral("X min."), QRect(20, 42, 56, 20));
    xMinEdit_ = addEdit(page, "XMinEdit", QRect(78, 40, 120, 24));
    addLabel(page, "Label13", QStringLiteral("X max."), QRect(20, 78, 56, 20));
    xMaxEdit_ = addEdit(page, "XMaxEdit", QRect(78, 76, 120, 24));
    addLabel(page, "Label12", QStringLiteral("Y min."), QRect(228, 42, 56, 20));
    yMinEdit_ = addEdit(page, "YMinEdit", QRect(286, 40, 120, 24));
    addLabel(page, "Label14", QStringLiteral("Y max."), QRect(228, 78, 56, 20));
    yMaxEdit_ = addEdit(page, "YMaxEdit", QRect(286, 76, 120, 24));

    // Modifiers the graphs never use: never shown, so always unchecked.
    addLabel(page, "Label9", QStringLiteral("Modificadores"), QRect(14, 118, 120, 20), true)->hide();
    addHiddenBox(page, "HistogramBox", QStringLiteral("Histogram"), QRect(14, 138, 100, 20));
    addHiddenBox(page, "LogXBox", QStringLiteral("Logarítmico en X"), QRect(120, 138, 140, 20));
    addHiddenBox(page, "LogYBox", QStringLiteral("Logarítmico en Y"), QRect(270, 138, 140, 20));
    return page;
}

QWidget *GraphOptionsDialog::buildGridPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Grid"));
    auto *group = new QGroupBox(QStringLiteral("&Reference"), page);
    group->setObjectName(QStringLiteral("ReferenceGroup"));
    group->setGeometry(12, 8, 200, 136);
    reference_ = new QButtonGroup(group);
    const QStringList items = {QStringLiteral("Ninguno"), QStringLiteral("Ligero"), QStringLiteral("Medio"),
                               QStringLiteral("Fuerte")};
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], group);
        button->setObjectName(QStringLiteral("ReferenceItem%1").arg(i));
        button->setGeometry(14, 24 + i * 26, 170, 22);
        reference_->addButton(button, i);
    }
    reference_->button(0)->setChecked(true);
    return page;
}

bool GraphOptionsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == titleEdit_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Enter and Escape belong to the OK and Cancel buttons; every other
        // key that yields a character, Backspace included, marks the study.
        const bool dialogKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                               key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab ||
                               key->key() == Qt::Key_Backtab;
        if (!dialogKey && (key->key() == Qt::Key_Backspace || !key->text().isEmpty())) {
            titleTypedSinceShown_ = true;
            emit titleTyped();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void GraphOptionsDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        shownTexts_ = texts();
        shownReference_ = referenceIndex();
        titleTypedSinceShown_ = false;
        widgets::CentreOnScreen(this);
    }
    QDialog::showEvent(event);
}

QStringList GraphOptionsDialog::texts() const
{
    QStringList all;
    for (const QLineEdit *edit : {titleEdit_, xLabelEdit_, yLabelEdit_, xMinEdit_, xMaxEdit_, yMinEdit_, yMaxEdit_})
        all << edit->text();
    return all;
}

void GraphOptionsDialog::done(int result)
{
    if (isVisible() && shownTexts_.size() == 7) {
        if (result == Accepted) {
            if (texts().mid(0, 3) != shownTexts_.mid(0, 3))
                emit titlesAccepted();
        } else {
            QLineEdit *const edits[] = {titleEdit_, xLabelEdit_, yLabelEdit_, xMinEdit_, xMaxEdit_, yMinEdit_, yMaxEdit_};
            for (int i = 0; i < 7; ++i)
                edits[i]->setText(shownTexts_[i]);
            setReferenceIndex(shownReference_);
            if (titleTypedSinceShown_)
                emit titleEditCancelled();
        }
    }
    titleTypedSinceShown_ = false;
    QDialog::done(result);
}

QString GraphOptionsDialog::titleText() const { return titleEdit_->text(); }
QString GraphOptionsDialog::xLabelText() const { return xLabelEdit_->text(); }
QString GraphOptionsDialog::yLabelText() const { return yLabelEdit_->text(); }
void GraphOptionsDialog::setTitleText(const QString &text) { titleEdit_->setText(text); }
void GraphOptionsDialog::setXLabelText(const QString &text) { xLabelEdit_->setText(text); }
void GraphOptionsDialog::setYLabelText(const QString &text) { yLabelEdit_->setText(text); }

QString GraphOptionsDialog::xMinText() const { return xMinEdit_->text(); }
QString GraphOptionsDialog::xMaxText() const { return xMaxEdit_->text(); }
QString GraphOptionsDialog::yMinText() const { return yMinEdit_->text(); }
QString GraphOptionsDialog::yMaxText() const { return yMaxEdit_->text(); }

void GraphOptionsDialog::setLimitTexts(const QString &xMin, const QString &xMax, const QString &yMin, const QString &yMax)
{
    xMinEdit_->setText(xMin);
    xMaxEdit_->setText(xMax);
    yMinEdit_->setText(yMin);
    yMaxEdit_->setText(yMax);
}

int GraphOptionsDialog::referenceIndex() const { return reference_->checkedId(); }

void GraphOptionsDialog::setReferenceIndex(int index)
{
    if (QAbstractButton *button = reference_->button(index))
        button->setChecked(true);
}
