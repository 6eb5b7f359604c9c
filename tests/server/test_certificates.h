// Certificates for the test cluster's TLS listener, made with the openssl
// command as a line engineer would: a CA, a server certificate it signs for
// "localhost", and a second CA that signed nothing of the server's.
#pragma once

#include <string>

namespace pgtest {

struct Certificates {
  std::string ca, otherCa;        // the CA files a station names in sslrootcert
  std::string serverCertificate, serverKey;
};

// Into `folder`; false, with what failed, when a command did.
bool MakeCertificates(const std::string& folder, Certificates* made, std::string* error);

}  // namespace pgtest
