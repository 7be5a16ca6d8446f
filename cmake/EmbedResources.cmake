# Compiles files into a static library as named resources.
# A resource's type is the name of the folder it sits in and its name is the
# file name without extension: resources/json/defaults.json is ("defaults", "json").
# The bytes are pulled in by the assembler's .incbin, so even large images and
# fonts cost nothing at configure time; each blob is followed by a zero byte so
# text resources can be read as C strings.
function(hm_embed_resources target)
  set(asm "${CMAKE_CURRENT_BINARY_DIR}/${target}_blobs.S")
  set(cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_table.cpp")
  set(asm_text "\t.section .rodata\n")
  set(decls "")
  set(rows "")
  set(i 0)
  foreach(file IN LISTS ARGN)
    get_filename_component(abs "${file}" ABSOLUTE)
    get_filename_component(name "${abs}" NAME_WE)
    get_filename_component(dir "${abs}" DIRECTORY)
    get_filename_component(type "${dir}" NAME)
    string(APPEND asm_text "\t.balign 16\n\t.globl hm_res_${i}\n\t.hidden hm_res_${i}\nhm_res_${i}:\n\t.incbin \"${abs}\"\n\t.byte 0\n")
    string(APPEND asm_text "\t.globl hm_res_${i}_end\n\t.hidden hm_res_${i}_end\nhm_res_${i}_end:\n")
    string(APPEND decls "extern \"C\" const unsigned char hm_res_${i}[];\nextern \"C\" const unsigned char hm_res_${i}_end[];\n")
    string(APPEND rows "    {\"${name}\", \"${type}\", hm_res_${i}, static_cast<size_t>(hm_res_${i}_end - hm_res_${i}) - 1},\n")
    math(EXPR i "${i} + 1")
  endforeach()
  string(APPEND asm_text "\t.section .note.GNU-stack,\"\",@progbits\n")
  file(CONFIGURE OUTPUT "${asm}" CONTENT "${asm_text}")
  file(CONFIGURE OUTPUT "${cpp}" CONTENT
"// Generated: the table of resources compiled into the library.
#include \"platform/ResourceTable.h\"
${decls}
namespace hm::platform {
const EmbeddedResource kEmbeddedResources[] = {
${rows}    {nullptr, nullptr, nullptr, 0},
};
}
")
  add_library(${target} STATIC "${asm}" "${cpp}")
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${ARGN}")
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
