// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ErrorBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// At blanks where it can, anywhere where it must: a long path has no blank.
constexpr QTextOption::WrapMode TextWrap = QTextOption::WrapAtWordBoundaryOrAnywhere;

// Qt's message boxes grow to this width before their text wraps.
int ComfortableWidth(int screenWidth) {
    return std::min(screenWidth / 2, 500);
}

// Where the box opens: over its parent, else where the pointer is, as QDialog places it.
QScreen* ScreenToOpenOn(const QWidget* parent) {
    if (parent)
        return parent->screen();
    if (QScreen* underPointer = QGuiApplication::screenAt(QCursor::pos()))
        return underPointer;
    return QGuiApplication::primaryScreen();
}

// The frame the system has drawn around a window; none before it has.
QMargins FrameOf(const QWidget* window) {
    return window && window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

// The frame the box will get: as its parent's; without one, room for a title bar.
QMargins ExpectedFrame(const QWidget* parent, const QStyle& style) {
    if (const QMargins parentFrame = FrameOf(parent); !parentFrame.isNull())
        return parentFrame;
    const int border = style.pixelMetric(QStyle::PM_DefaultFrameWidth);
    return {border, style.pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border};
}

// The height of `text` laid out as the box lays it out, `width` pixels wide. (Measured apart: the
// text box lays its own document out to its size of the moment.)
int HeightAt(const QString& text, const QFont& font, int width) {
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    QTextOption option;
    option.setWrapMode(TextWrap);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    document.setTextWidth(width);
    return static_cast<int>(std::ceil(document.size().height()));
}

} // namespace

ErrorBox::ErrorBox(const QString& text, QWidget* parent)
    : QDialog(parent), m_text(new QTextEdit(this)),
      m_iconSize(style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this)) {
    setWindowTitle(QStringLiteral("Error:"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(m_iconSize));

    // A label's look, but it wraps anywhere and scrolls.
    m_text->setFont(QApplication::font("QMessageBoxLabel"));
    m_text->setPlainText(text);
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->viewport()->setAutoFillBackground(false);
    m_text->document()->setDocumentMargin(0);
    m_text->setWordWrapMode(TextWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setFocusPolicy(Qt::NoFocus);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(
        style()->styleHint(QStyle::SH_MessageBox_CenterButtons, nullptr, this));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    grid->addWidget(m_text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void ErrorBox::setVisible(bool visible) {
    if (visible && !isVisible()) {
        const QScreen* screen = ScreenToOpenOn(parentWidget());
        const QRect available = screen->availableGeometry();
        fitInto(available.size().shrunkBy(ExpectedFrame(parentWidget(), *style())),
                available.width());
    }
    QDialog::setVisible(visible);
}

// Sizes the text so that the whole box stays within `clientLimit`: as wide as its longest line
// up to a comfortable width, wider for a long word, never wider than the limit, and scrolling
// when it is taller than the room left.
void ErrorBox::fitInto(QSize clientLimit, int screenWidth) {
    m_text->setFixedSize(1, m_iconSize);
    layout()->invalidate();
    const QSize textLimit = clientLimit - (sizeHint() - QSize(1, m_iconSize));

    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QString text = m_text->toPlainText();
    const int natural = widestOf(text.split(QLatin1Char('\n')));
    const int comfortable = ComfortableWidth(screenWidth);
    int width =
        natural <= comfortable ? natural : std::max(comfortable, widestOf(text.split(blanks)));
    width = std::clamp(width, 1, std::max(1, textLimit.width()));
    int height = HeightAt(text, m_text->font(), width);
    if (height > textLimit.height()) {
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_text);
        width = std::max(1, std::min(width + scrollBar, textLimit.width()));
        height = std::max(1, textLimit.height());
    }
    m_text->setFixedSize(width, height);
}

// Qt's placement keeps the box on the screen, but for the frame's right and bottom edges.
void ErrorBox::keepOnScreen() {
    const QRect available = ScreenToOpenOn(parentWidget())->availableGeometry();
    QMargins frame = FrameOf(this);
    if (frame.isNull())
        frame = ExpectedFrame(parentWidget(), *style());
    QRect outline = geometry().marginsAdded(frame);
    outline.moveRight(std::min(outline.right(), available.right()));
    outline.moveBottom(std::min(outline.bottom(), available.bottom()));
    outline.moveLeft(std::max(outline.left(), available.left()));
    outline.moveTop(std::max(outline.top(), available.top()));
    move(outline.topLeft()); // the frame's corner, as for every window
}

int ErrorBox::widestOf(const QStringList& pieces) const {
    const QFontMetrics metrics(m_text->font());
    int widest = 0;
    for (const QString& piece : pieces)
        widest = std::max(widest, metrics.horizontalAdvance(piece));
    return widest + 1; // rounding: a piece must not break at exactly its width
}

void ErrorBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event); // centres the box over its parent
    keepOnScreen();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// As in the system's message boxes: Ctrl+C copies the text, or the part of it selected.
void ErrorBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (m_text->textCursor().hasSelection())
            m_text->copy();
        else
            QGuiApplication::clipboard()->setText(m_text->toPlainText());
        return;
    }
    QDialog::keyPressEvent(event);
}
