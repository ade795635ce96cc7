// SPDX-License-Identifier: MIT
#pragma once
// The validation as a document: plain text for the terminal, a self-contained HTML page and a
// PDF (the text laid out on A4 pages) that a laboratory signs and files.

#include <string>

#include "validation/validation.h"

namespace bx {

// Every check, one line each, failed fields spelled out, and the summary.
std::string validationText(const ValidationResult& result);

// The same as one HTML page with its styles inline, no outside references.
std::string validationHtml(const ValidationResult& result);

// Writes the text as a PDF to `path`; returns the cause when it cannot.
std::string writeValidationPdf(const ValidationResult& result, const std::string& path);

// Writes the HTML page to `path` (through a temporary file beside it); returns the cause when it
// cannot.
std::string writeValidationHtml(const ValidationResult& result, const std::string& path);

// The report `path` names: a PDF for ".pdf", HTML for ".html" or ".htm" (any case); false for
// any other name.
bool isValidationReportName(const std::string& path, bool& pdf);

// Writes the report `path` names; returns the cause when it cannot.
std::string writeValidationReport(const ValidationResult& result, const std::string& path);

}  // namespace bx
