#pragma once
// Result codes of the component model: 32-bit, negative means failure.

#include <cstdint>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

namespace com_detail {
constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }
}  // namespace com_detail

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = com_detail::Code(0x80004001u);
constexpr HRESULT E_NOINTERFACE = com_detail::Code(0x80004002u);
constexpr HRESULT E_POINTER = com_detail::Code(0x80004003u);
constexpr HRESULT E_ABORT = com_detail::Code(0x80004004u);
constexpr HRESULT E_FAIL = com_detail::Code(0x80004005u);
constexpr HRESULT E_UNEXPECTED = com_detail::Code(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = com_detail::Code(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = com_detail::Code(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = com_detail::Code(0x80070057u);
constexpr HRESULT REGDB_E_CLASSNOTREG = com_detail::Code(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = com_detail::Code(0x800401F0u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
