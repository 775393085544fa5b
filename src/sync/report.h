// What the workers tell the program, from their own thread, as an attempt
// goes. Declared here, defined by the program (app/) and by each test; each
// call returns once the program has taken it.
#pragma once

// The IP field: the address found, or the word for none.
void ReportAddress(const wchar_t* text);
// The IPv6 field: the address the query over IPv6 found, or the word for none.
void ReportAddress6(const wchar_t* text);
// The STATUS field: the word for the update's outcome.
void ReportStatus(const wchar_t* word);
// The last call of each worker.
void ReportCheckIpEnd();
void ReportUpdateEnd();
