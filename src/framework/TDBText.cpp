#include "framework/TDBText.h"

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"

TDBText::TDBText(QWidget* parent) : QLabel(parent) {}

TDBText::~TDBText() { SetDataSource(nullptr); }

void TDBText::SetDataSource(TDataSource* source) {
    if (m_source == source) return;
    if (m_source) m_source->RemoveObserver(this);
    m_source = source;
    if (m_source) m_source->AddObserver(this);
    Refresh();
}

void TDBText::SetDataField(std::string fieldName) {
    m_field = std::move(fieldName);
    Refresh();
}

void TDBText::Refresh() {
    TClientDataSet* dataSet = m_source ? m_source->DataSet() : nullptr;
    TField* field =
        dataSet && dataSet->Active() && !dataSet->IsEmpty() ? dataSet->FindField(m_field) : nullptr;
    setText(field ? QString::fromStdString(field->AsString()) : QString());
}

void TDBText::DataSetDestroying() {
    m_source = nullptr;
    setText(QString());
}
