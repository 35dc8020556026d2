// The one base of every exception Kelpo raises, and the kinds the platform layer names.
#pragma once

#include <exception>
#include <string>

namespace kelpo {

// Carries its message as engine text (GB18030); the error report converts it for display.
class Error : public std::exception {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

// A statement, connection or row operation of the database layer failed. The message is for
// the user; the statement that failed, if any, is kept apart for developers' tools.
class DatabaseError : public Error {
 public:
  explicit DatabaseError(std::string message, std::string statement = {})
      : Error(std::move(message)), statement_(std::move(statement)) {}
  const std::string& statement() const noexcept { return statement_; }

 private:
  std::string statement_;
};

// A picture file could not be loaded (missing, unknown extension, damaged); names the file.
class PictureError : public Error {
 public:
  using Error::Error;
};

// Bytes of an encoded picture could not be decoded.
class DecoderError : public Error {
 public:
  using Error::Error;
};

}  // namespace kelpo
