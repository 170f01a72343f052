#pragma once
// A URL split into its parts. Nothing is percent-encoded or decoded: bytes
// go on the wire as they were written, but for control bytes and spaces,
// which would end the request line or start a new header line.

#include <string>

class TNetURI {
 public:
  TNetURI() = default;
  explicit TNetURI(const std::string& uri) { SetURI(uri); }

  // Splits the text; a backslash anywhere counts as a slash.
  void SetURI(const std::string& uri);
  // The request target: path + document + params (never the bookmark),
  // with every byte up to the space and DEL percent-encoded.
  std::string Target() const;

  // Resolves path p against base path b: "//" collapses, ".." removes a segment.
  static std::string ResolvePath(const std::string& base, const std::string& p);

  std::string Protocol;
  std::string Username;
  std::string Password;
  std::string Host;
  std::string Port;
  std::string Path;      // up to and including the last "/" before the query
  std::string Document;  // after the path, up to the query
  std::string Params;    // from "?" (or, without one, from "=") on
  std::string Bookmark;  // after "#"
};
