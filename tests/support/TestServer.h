// The test server of this test program (tools/testserver, started by ctest):
// its address, its served folder, and its control requests.
#pragma once

#include "base/RefString.h"

#include <string>
#include <vector>

class CTestServer {
public:
    static CTestServer& Instance();

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    CString Url(const char* path) const;
    // Writes a file under the served folder; path like "/dl/a.bin".
    void PutFile(const char* path, const std::string& bytes) const;

    void AddRoute(const std::string& json);
    // Forgets the log and every route.
    void Reset();
    // The raw requests for the path (all when empty), in arrival order.
    std::vector<std::string> Requests(const std::string& path = std::string());
    // Waits until the log holds count requests for path; false on time-out.
    bool WaitForRequests(int count, const std::string& path, double timeoutSeconds = 30);

private:
    CTestServer();
    // One control request; the reply body. Fails the test on any error.
    std::string Control(const char* method, const std::string& target,
                        const std::string& body = std::string());

    int m_port = 0;
    CString m_root; // ends with '\'
};

// A port on 127.0.0.1 that nothing listens on.
int UnusedPort();
