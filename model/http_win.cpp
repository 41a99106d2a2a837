// Windows' network: WinHTTP, so that proxies, TLS and the trusted certificates
// are the system's own. The calls are synchronous: the sync makes them on a
// thread of its own, never on the window's.
#include "base/windows_api.h"
// clang-format off
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "model/http_common.h"
#include "model/text_decoding.h"

namespace http {

namespace {

struct InternetDeleter {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, InternetDeleter>;

std::wstring Wide(const std::string& text) { return text::DecodeLoose(text); }

// One session per thread: WinHTTP keeps its connections in the session, so
// the requests of one sync reuse them.
HINTERNET Session() {
  thread_local const UniqueInternet session = [] {
    HINTERNET handle = WinHttpOpen(L"Amicord", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0);
    // Before Windows 8.1 the system's proxy is the one WinHTTP is told of.
    if (!handle)
      handle = WinHttpOpen(L"Amicord", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
    if (handle) {
      DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
      if (!WinHttpSetOption(handle, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;  // a system without TLS 1.3
        WinHttpSetOption(handle, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
      }
    }
    return UniqueInternet(handle);
  }();
  return session.get();
}

// What Windows found wrong with a server's certificate, told to the status
// callback before the request fails with ERROR_WINHTTP_SECURE_FAILURE.
void CALLBACK OnStatus(HINTERNET /*handle*/, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
  if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && context && information && length >= sizeof(DWORD))
    *reinterpret_cast<DWORD*>(context) = *static_cast<const DWORD*>(information);
}

std::string CertificateWhy(DWORD error, DWORD flags) {
  if (error == ERROR_WINHTTP_SECURE_INVALID_CA || (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA))
    return "the server's certificate is not from an authority Windows trusts";
  if (error == ERROR_WINHTTP_SECURE_CERT_CN_INVALID || (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID))
    return "the server's certificate is for another name";
  if (error == ERROR_WINHTTP_SECURE_CERT_DATE_INVALID || (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID))
    return "the server's certificate has expired or is not valid yet";
  if (error == ERROR_WINHTTP_SECURE_CERT_REVOKED || (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED))
    return "the server's certificate was revoked";
  return "the secure connection to the server failed (its certificate or TLS)";
}

bool IsCertificateError(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
      return true;
    default:
      return false;
  }
}

Response Failed(DWORD error, DWORD certificateFlags = 0) {
  Response response;
  if (IsCertificateError(error)) {
    response.failure = Failure::Tls;
    response.error = CertificateWhy(error, certificateFlags);
    return response;
  }
  response.failure = Failure::Network;
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
      response.failure = Failure::Timeout;
      response.error = "the server did not answer in time";
      break;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return detail::RefusedResponse();
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      response.error = "the server's name could not be found";
      break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      response.error = "no connection to the server could be made";
      break;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      response.error = "the connection to the server broke off";
      break;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      response.error = "the server's answer was not HTTP";
      break;
    default:
      response.error = "the network failed (WinHTTP error " + std::to_string(error) + ")";
  }
  return response;
}

void SetNumber(HINTERNET handle, DWORD option, DWORD value) { WinHttpSetOption(handle, option, &value, sizeof value); }

void ReadHeaders(HINTERNET request, Response& response) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return;
  std::wstring raw(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, raw.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX))
    return;
  raw.resize(bytes / sizeof(wchar_t));
  const std::string block = text::EncodeUtf8(raw);
  std::size_t start = 0;
  while (start < block.size()) {
    std::size_t end = block.find('\n', start);
    if (end == std::string::npos) end = block.size();
    detail::AddHeaderLine(response, std::string_view(block).substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

Response detail::SendOnce(const Request& request) {
  if (!AllowedUrl(request.url)) return detail::RefusedResponse();
  const std::wstring url = Wide(request.url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(
      -1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) || !parts.lpszHostName)
    return detail::RefusedResponse();
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  // WinHTTP's own reading of the address decides where it connects: that is
  // the one plain http:// must lead to this computer by.
  if (!secure && (parts.nScheme != INTERNET_SCHEME_HTTP || !detail::IsThisComputer(text::EncodeUtf8(host))))
    return detail::RefusedResponse();
  std::wstring path(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  path = path.substr(0, path.find(L'#'));  // a fragment is the reader's, never sent
  if (path.empty()) path = L"/";

  HINTERNET session = Session();
  if (!session) {
    Response response;
    response.failure = Failure::NotAvailable;
    response.error = "the network could not start";
    return response;
  }
  const UniqueInternet connection(WinHttpConnect(session, host.c_str(), parts.nPort, 0));
  if (!connection) return Failed(GetLastError());
  const UniqueInternet handle(WinHttpOpenRequest(connection.get(), Wide(request.method).c_str(), path.c_str(), nullptr,
                                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                 secure ? WINHTTP_FLAG_SECURE : 0));
  if (!handle) return Failed(GetLastError());
  // The caller follows redirections itself (only to the same scheme), and
  // Windows' logon is never offered to an address book server.
  SetNumber(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES);
  SetNumber(handle.get(), WINHTTP_OPTION_AUTOLOGON_POLICY, WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);
  // This computer is reached directly, never through a proxy or its search.
  if (detail::IsThisComputer(text::EncodeUtf8(host)) || host.rfind(L"127.", 0) == 0) {
    WINHTTP_PROXY_INFO direct{WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr};
    WinHttpSetOption(handle.get(), WINHTTP_OPTION_PROXY, &direct, sizeof direct);
  }
  const long seconds = std::max(1L, request.timeoutSeconds);
  const int connectMs = static_cast<int>(std::min(seconds, detail::kConnectTimeoutSeconds) * 1000);
  WinHttpSetTimeouts(handle.get(), connectMs, connectMs, static_cast<int>(seconds * 1000),
                     static_cast<int>(seconds * 1000));
  WinHttpSetStatusCallback(handle.get(), OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);

  std::wstring headers;
  for (const auto& [name, value] : request.headers) headers += Wide(detail::HeaderLine(name, value)) + L"\r\n";
  if (!request.user.empty())
    headers += Wide(detail::HeaderLine("Authorization", detail::BasicAuthorization(request.user, request.password))) +
               L"\r\n";
  // The time limit is the whole exchange's, as on the host, not each read's.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  DWORD certificateFlags = 0;
  const DWORD size = static_cast<DWORD>(request.body.size());
  const BOOL sent = WinHttpSendRequest(handle.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                                       headers.empty() ? 0 : static_cast<DWORD>(-1L),
                                       size ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA, size,
                                       size, reinterpret_cast<DWORD_PTR>(&certificateFlags));
  if (!sent || !WinHttpReceiveResponse(handle.get(), nullptr)) return Failed(GetLastError(), certificateFlags);

  Response response;
  DWORD status = 0;
  DWORD statusSize = sizeof status;
  if (!WinHttpQueryHeaders(handle.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX))
    return Failed(GetLastError());
  response.status = static_cast<int>(status);
  ReadHeaders(handle.get(), response);
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(handle.get(), &available)) return Failed(GetLastError());
    if (available == 0) break;
    if (response.body.size() + available > detail::kMaxBody) {
      Response tooLarge;
      tooLarge.failure = Failure::Network;
      tooLarge.error = "the server's answer is larger than an address book's";
      return tooLarge;
    }
    const std::size_t old = response.body.size();
    response.body.resize(old + available);
    DWORD read = 0;
    if (!WinHttpReadData(handle.get(), response.body.data() + old, available, &read)) return Failed(GetLastError());
    response.body.resize(old + read);
    if (GetTickCount64() > deadline) return Failed(ERROR_WINHTTP_TIMEOUT);
  }
  // A connection closed early can look like the end of the answer: nothing
  // read half way may pass for a whole one.
  const std::string length = response.Header("content-length");
  if (!length.empty() && request.method != "HEAD" && status != 204 && status != 304 &&
      response.Header("content-encoding").empty() && std::strtoull(length.c_str(), nullptr, 10) > response.body.size())
    return Failed(ERROR_WINHTTP_CONNECTION_ERROR);
  return response;
}

}  // namespace http
