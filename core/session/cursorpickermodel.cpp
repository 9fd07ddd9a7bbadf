#include "core/session/cursorpickermodel.h"

#include "core/base/displaymodel.h"
#include "core/transport/commandtransport.h"

CursorPickerModel::CursorPickerModel(CommandTransport &transport, QObject *parent)
    : QObject(parent)
    , m_transport(transport)
    , m_model(DisplayModel::kDefaultModel)
    , m_caption(DisplayModel::initialCaption())
{
}

void CursorPickerModel::setDisplayModel(int model)
{
    if (model == m_model || model < 0 || model >= DisplayModel::kModelCount)
        return;
    m_model = model;
    emit visibilityChanged();
}

bool CursorPickerModel::isVisible(int position) const
{
    return DisplayModel::isVisible(m_model, position);
}

quint32 CursorPickerModel::colour(int position) const
{
    return position == m_selected ? m_selectedColour : StateColours::kPickerUnmarked;
}

void CursorPickerModel::hover(int position)
{
    if (position < 0 || position >= DisplayModel::kPositions)
        return;
    if (m_pickerCaption.isEmpty())
        m_pickerCaption = m_caption;
    setCaption(m_pickerCaption + DisplayModel::hoverSuffix(position));
}

void CursorPickerModel::click(int position)
{
    if (position < 0 || position >= DisplayModel::kPositions)
        return;
    m_selected = position;
    m_selectedColour = StateColours::kPickerMarked;
    emit marksChanged();
    m_transport.issue(DisplayModel::cursorSetCommand(position));
    m_pickerCaption = DisplayModel::clickCaption(position);
    setCaption(m_pickerCaption);
}

void CursorPickerModel::reset()
{
    m_selected = 0;
    m_selectedColour = StateColours::kChosen;
    emit marksChanged();
    // Initialize and Reset send the module's cursor home: the read-out says
    // so, and a later hover builds on it rather than on the last click.
    m_pickerCaption = DisplayModel::initialCaption();
    setCaption(m_pickerCaption);
}

void CursorPickerModel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}
