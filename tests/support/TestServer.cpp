#include "tests/support/TestServer.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

CString Environment(const wchar_t* name)
{
    CString value;
    const DWORD n = GetEnvironmentVariableW(name, value.GetBuffer(1024), 1024);
    value.ReleaseBuffer(n < 1024 ? static_cast<int>(n) : 0);
    return value;
}

SOCKET ConnectLoopback(int port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s != INVALID_SOCKET && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        s = INVALID_SOCKET;
    }
    return s;
}

} // namespace

CTestServer& CTestServer::Instance()
{
    static CTestServer server;
    return server;
}

CTestServer::CTestServer()
{
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const CString address = Environment(L"RAVONYX_TEST_SERVER");
    const int colon = address.ReverseFind(L':');
    m_port = colon >= 0 ? _wtoi(address.Mid(colon + 1)) : 0;
    m_root = Environment(L"RAVONYX_TEST_SERVER_ROOT");
    if (!m_root.IsEmpty() && m_root[m_root.GetLength() - 1] != L'\\')
        m_root += L'\\';
    if (m_port == 0 || m_root.IsEmpty())
        ADD_FAILURE() << "RAVONYX_TEST_SERVER is not set: run through ctest";
}

CString CTestServer::Url(const char* path) const
{
    CString url;
    url.Format(L"http://127.0.0.1:%d", m_port);
    return url + CString::FromUtf8(path);
}

void CTestServer::PutFile(const char* path, const std::string& bytes) const
{
    CString relative = CString::FromUtf8(path + (path[0] == '/' ? 1 : 0));
    relative.Replace(L'/', L'\\');
    const CString full = m_root + relative;
    MakeFolderFor(full);
    WriteFileBytes(full, bytes);
}

void CTestServer::AddRoute(const std::string& json)
{
    const std::string reply = Control("POST", "/_control/route", json);
    EXPECT_NE(reply.find("\"ok\": true"), std::string::npos) << json << " -> " << reply;
}

void CTestServer::Reset()
{
    Control("POST", "/_control/reset");
}

std::vector<std::string> CTestServer::Requests(const std::string& path)
{
    const std::string text = Control("GET", "/_control/log.txt" + (path.empty() ? "" : "?path=" + path));
    // Each request: "=== <n> conn=<c>\n", its raw bytes, "\n".
    std::vector<std::string> requests;
    size_t pos = 0;
    while (text.compare(pos, 4, "=== ") == 0) {
        const size_t start = text.find('\n', pos) + 1;
        size_t next = text.find("\n=== ", start);
        const size_t end = next == std::string::npos ? text.size() - 1 : next;
        requests.push_back(text.substr(start, end - start));
        pos = next == std::string::npos ? text.size() : next + 1;
    }
    return requests;
}

bool CTestServer::WaitForRequests(int count, const std::string& path, double timeoutSeconds)
{
    char query[256];
    snprintf(query, sizeof(query), "/_control/wait?count=%d&timeout=%g&path=%s", count, timeoutSeconds,
             path.c_str());
    return Control("GET", query).find("\"ok\": true") != std::string::npos;
}

std::string CTestServer::Control(const char* method, const std::string& target, const std::string& body)
{
    const SOCKET s = ConnectLoopback(m_port);
    if (s == INVALID_SOCKET) {
        ADD_FAILURE() << "cannot reach the test server";
        return std::string();
    }
    std::string request = std::string(method) + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    send(s, request.data(), static_cast<int>(request.size()), 0);
    std::string reply;
    char buffer[4096];
    for (int n; (n = recv(s, buffer, sizeof(buffer), 0)) > 0;)
        reply.append(buffer, static_cast<size_t>(n));
    closesocket(s);
    const size_t bodyStart = reply.find("\r\n\r\n");
    EXPECT_EQ(reply.compare(0, 12, "HTTP/1.1 200"), 0) << target << " -> " << reply;
    return bodyStart == std::string::npos ? std::string() : reply.substr(bodyStart + 4);
}

int UnusedPort()
{
    CTestServer::Instance(); // Sockets started
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return ntohs(address.sin_port);
}
