#include "controls/TDBGridEntryFilter.h"

#include <QLineEdit>
#include <algorithm>

TDBGridEntryFilter::TDBGridEntryFilter(QLineEdit& editor, TKeyFilter filter, TTyping typing)
    : QValidator(&editor), m_before(editor.text()), m_filter(std::move(filter)),
      m_typing(std::move(typing)) {
    // textChanged comes once a change is in, after its validation: the next change starts here.
    connect(&editor, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
    // The editor writes a mended text as if set by the program, forgetting that the user edited.
    connect(&editor, &QLineEdit::textEdited, this, [&editor] { editor.setModified(true); });
}

QValidator::State TDBGridEntryFilter::validate(QString& input, int& position) const {
    if (m_typing()) return Acceptable;
    // What was inserted is what lies between the unchanged head and tail of the text.
    const qsizetype shortest = std::min(input.size(), m_before.size());
    qsizetype head = 0;
    while (head < shortest && input[head] == m_before[head]) ++head;
    qsizetype tail = 0;
    while (tail < shortest - head &&
           input[input.size() - 1 - tail] == m_before[m_before.size() - 1 - tail])
        ++tail;
    const QString inserted = input.mid(head, input.size() - head - tail);
    if (inserted.isEmpty()) return Acceptable;
    QString kept;
    for (char32_t c : inserted.toUcs4())
        if (char32_t replaced = m_filter(c)) kept += QString::fromUcs4(&replaced, 1);
    if (kept == inserted) return Acceptable;
    input = input.left(head) + kept + input.right(tail);
    position = static_cast<int>(head + kept.size());
    return Acceptable;
}
