#pragma once
// The body of a form post: name=value lines, values percent-encoded.

#include <string>
#include <vector>

// Encodes " ", "#", "%", "*", "<", ">", "[", "]", "&", "=", "+" and every
// byte below 0x21 or from 0x80 on as "%" and two uppercase hex digits.
std::string EncodeFormValue(const std::string& value);

// Encodes the value of every name=value line in place; names stay as they are.
void EncodeFormFields(std::vector<std::string>& fields);

// The lines joined by "&", without blanks around the whole.
std::string FormBody(const std::vector<std::string>& fields);
