// What a connection attempt tells the program when it fails. Declared here,
// defined by the program (app/) and by each test.
#pragma once

const int NOTICE_SOCKET_FAILED = 512;   // no socket could be made
const int NOTICE_CONNECT_FAILED = 515;  // the server did not take the connection
const int NOTICE_CERT_REFUSED = 516;    // the server's certificate is not trusted or not its own

void ReportConnectionFailure(int notice);
