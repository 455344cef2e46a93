#pragma once
// What an import would do, as the server answered its preview (SetImportaSugestoes with Simular
// "S"): one row per change or error with its line and column in the file, errors first, then the
// file's order; and the server's summary line. A plain value, read once from the answer.

#include <string>
#include <vector>

class TClientDataSet;

struct TImportPreviewRow {
    std::string Line, Column, Action, Description;  // Action: incluir, alterar, excluir or erro
    bool IsError() const { return Action == "erro"; }
};

class TImportPreview {
  public:
    // From the answer's record set (fields NRLINHA, NRCOLUNA, TPACAO, TXDESCRICAO); the row
    // "resumo" gives the summary.
    static TImportPreview FromDataSet(const TClientDataSet& answer);

    const std::vector<TImportPreviewRow>& Rows() const { return m_rows; }
    const std::string& Summary() const { return m_summary; }
    int Errors() const { return m_errors; }
    int Changes() const { return int(m_rows.size()) - m_errors; }

  private:
    std::vector<TImportPreviewRow> m_rows;
    std::string m_summary;
    int m_errors = 0;
};
