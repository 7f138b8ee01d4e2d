#include "core/Failure.h"

namespace quorvane {

Failure::Failure(long number, QString description, QString source)
    : number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      what_(description_.toUtf8()) {}

DatabaseFailure::DatabaseFailure(long nativeCode, QString driverText, QString source,
                                 QString sqlState)
    : Failure(nativeCode, std::move(driverText), std::move(source)),
      sqlState_(std::move(sqlState)) {}

}  // namespace quorvane
