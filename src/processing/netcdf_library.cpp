// Loading the netCDF C library at first use.
#include "processing/netcdf_library.hpp"

#include <dlfcn.h>

namespace kelpira::processing {

namespace {

template <class F>
void bind(void* handle, const char* name, F& f, std::string& missing) {
    f = reinterpret_cast<F>(dlsym(handle, name));
    if (f == nullptr) {
        missing += missing.empty() ? name : std::string(", ") + name;
    }
}

struct Loaded {
    std::optional<NetcdfCalls> calls;
    std::string error;
};

const Loaded& loaded() {
    static const Loaded library = [] {
        Loaded l;
        l.calls = load_netcdf_calls(KELPIRA_NETCDF_LIBRARY, l.error);
        return l;
    }();
    return library;
}

}  // namespace

std::optional<NetcdfCalls> load_netcdf_calls(const char* file, std::string& error) {
    void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error =
            "the netCDF library could not be loaded: " + std::string(why != nullptr ? why : file);
        return std::nullopt;
    }
    NetcdfCalls c;
    std::string missing;
    bind(handle, "nc_close", c.close, missing);
    bind(handle, "nc_create", c.create, missing);
    bind(handle, "nc_def_dim", c.def_dim, missing);
    bind(handle, "nc_def_var", c.def_var, missing);
    bind(handle, "nc_def_var_chunking", c.def_var_chunking, missing);
    bind(handle, "nc_def_var_deflate", c.def_var_deflate, missing);
    bind(handle, "nc_def_var_fill", c.def_var_fill, missing);
    bind(handle, "nc_enddef", c.enddef, missing);
    bind(handle, "nc_get_att_text", c.get_att_text, missing);
    bind(handle, "nc_get_vara_double", c.get_vara_double, missing);
    bind(handle, "nc_inq_attlen", c.inq_attlen, missing);
    bind(handle, "nc_inq_varid", c.inq_varid, missing);
    bind(handle, "nc_put_att_double", c.put_att_double, missing);
    bind(handle, "nc_put_att_float", c.put_att_float, missing);
    bind(handle, "nc_put_att_int", c.put_att_int, missing);
    bind(handle, "nc_put_att_schar", c.put_att_schar, missing);
    bind(handle, "nc_put_att_string", c.put_att_string, missing);
    bind(handle, "nc_put_att_text", c.put_att_text, missing);
    bind(handle, "nc_put_var_double", c.put_var_double, missing);
    bind(handle, "nc_put_vara_double", c.put_vara_double, missing);
    bind(handle, "nc_put_vara_float", c.put_vara_float, missing);
    bind(handle, "nc_put_vara_int", c.put_vara_int, missing);
    bind(handle, "nc_put_vara_schar", c.put_vara_schar, missing);
    bind(handle, "nc_put_vara_string", c.put_vara_string, missing);
    bind(handle, "nc_redef", c.redef, missing);
    bind(handle, "nc_strerror", c.strerror, missing);
    if (!missing.empty()) {
        error = std::string("the netCDF library ") + file + " lacks " + missing;
        return std::nullopt;
    }
    return c;
}

bool netcdf_loaded(std::string& error) {
    if (!loaded().calls) {
        error = loaded().error;
        return false;
    }
    return true;
}

const NetcdfCalls& netcdf() {
    return *loaded().calls;
}

}  // namespace kelpira::processing
