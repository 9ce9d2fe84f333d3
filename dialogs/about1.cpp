#include "dialogs/about1.h"

#include "library/qorvlib.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace
{

constexpr int DesignedWidth = 320;
constexpr int DesignedHeight = 300;
constexpr int TopPanelHeight = 72;
constexpr int LabelLeft = 56;

QFont ArialFont(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, int y, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(LabelLeft, y);
    return label;
}

// The program's picture: a few measured lines on paper, their points marked.
QPixmap ProgramIcon()
{
    QPixmap icon(32, 32);
    icon.fill(Qt::white);
    QPainter painter(&icon);
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    const QPoint corners[] = {{5, 26}, {26, 26}, {26, 8}, {12, 5}};
    painter.drawPolyline(corners, 4);
    painter.setPen(QPen(QColor(0, 0, 128), 1, Qt::DotLine));
    painter.drawLine(corners[3], corners[0]);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 0, 0));
    for (const QPoint& p : corners)
        painter.drawRect(p.x() - 1, p.y() - 1, 3, 3);
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, 31, 31);
    return icon;
}

} // namespace

TFAbout1::TFAbout1(const AboutText& about, const QString& programFile, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    BuildTopPanel(about.ProgramName);
    BuildMemo(about.Lines);
    BuildBottomPanel();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel3);
    layout->addWidget(Memo1, 1);
    layout->addWidget(Panel1);
    resize(DesignedWidth, DesignedHeight);
    FormCreate(programFile);
}

void TFAbout1::BuildTopPanel(const QString& programName)
{
    Panel3 = new QFrame(this);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setFixedHeight(TopPanelHeight);
    Image1 = new QLabel(Panel3);
    Image1->setPixmap(ProgramIcon());
    Image1->setGeometry(12, 12, 32, 32);
    Label1 = MakeLabel(Panel3, 10, ArialFont(10, true));
    Label1->setText(programName);
    Label1->adjustSize();
    Label3 = MakeLabel(Panel3, 32, ArialFont(8, false));
    Label2 = MakeLabel(Panel3, 50, ArialFont(8, false));
}

void TFAbout1::BuildMemo(const QStringList& lines)
{
    Memo1 = new QTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setFont(ArialFont(9, true));
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, QColor(192, 192, 192));
    Memo1->setPalette(palette);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor all(Memo1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
}

void TFAbout1::BuildBottomPanel()
{
    Panel1 = new QFrame(this);
    OKBtn = new QPushButton(QStringLiteral("OK"), Panel1);
    OKBtn->setDefault(true);
    auto* row = new QHBoxLayout(Panel1);
    row->addStretch();
    row->addWidget(OKBtn);
    row->addStretch();
    // The window's own Esc closes it too, as the cancel button would.
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::close);
}

void TFAbout1::FormCreate(const QString& programFile)
{
    // The path is shown as it is: on this file system the case of a name is
    // part of it.
    Label2->setText(programFile);
    Label2->adjustSize();
    const QFileInfo file(programFile);
    if (file.exists()) {
        Label3->setText(DateTimeToStr(file.lastModified()));
        Label3->adjustSize();
    }
    const int right = Label2->x() + Label2->width();
    if (width() < right)
        resize(right + Label2->x(), height());
}
