// The netCDF C library, loaded when a NetCDF file is first written rather than when a program
// starts: with the forty libraries it brings (HDF5, curl, TLS) it costs every start about
// 4 ms, which a run that writes only CSV should not pay.
#pragma once

#include <netcdf.h>

#include <optional>
#include <string>

namespace kelpira::processing {

// The library's functions this program calls, typed by the library's own header.
struct NetcdfCalls {
    decltype(&::nc_close) close = nullptr;
    decltype(&::nc_create) create = nullptr;
    decltype(&::nc_def_dim) def_dim = nullptr;
    decltype(&::nc_def_var) def_var = nullptr;
    decltype(&::nc_def_var_chunking) def_var_chunking = nullptr;
    decltype(&::nc_def_var_deflate) def_var_deflate = nullptr;
    decltype(&::nc_def_var_fill) def_var_fill = nullptr;
    decltype(&::nc_enddef) enddef = nullptr;
    decltype(&::nc_get_att_text) get_att_text = nullptr;
    decltype(&::nc_get_vara_double) get_vara_double = nullptr;
    decltype(&::nc_inq_attlen) inq_attlen = nullptr;
    decltype(&::nc_inq_varid) inq_varid = nullptr;
    decltype(&::nc_put_att_double) put_att_double = nullptr;
    decltype(&::nc_put_att_float) put_att_float = nullptr;
    decltype(&::nc_put_att_int) put_att_int = nullptr;
    decltype(&::nc_put_att_schar) put_att_schar = nullptr;
    decltype(&::nc_put_att_string) put_att_string = nullptr;
    decltype(&::nc_put_att_text) put_att_text = nullptr;
    decltype(&::nc_put_var_double) put_var_double = nullptr;
    decltype(&::nc_put_vara_double) put_vara_double = nullptr;
    decltype(&::nc_put_vara_float) put_vara_float = nullptr;
    decltype(&::nc_put_vara_int) put_vara_int = nullptr;
    decltype(&::nc_put_vara_schar) put_vara_schar = nullptr;
    decltype(&::nc_put_vara_string) put_vara_string = nullptr;
    decltype(&::nc_redef) redef = nullptr;
    decltype(&::nc_strerror) strerror = nullptr;
};

// The library `file` names, loaded and never unloaded; nothing, with the reason in `error`,
// when it cannot be loaded or lacks one of the functions.
std::optional<NetcdfCalls> load_netcdf_calls(const char* file, std::string& error);

// Loads the library this program was built against, once for all threads. False, with the
// reason in `error`, when it cannot be loaded.
bool netcdf_loaded(std::string& error);

// The library's functions; only after netcdf_loaded returned true.
const NetcdfCalls& netcdf();

}  // namespace kelpira::processing
