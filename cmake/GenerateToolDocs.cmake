# Run at build time by the harmoniform_docs target: generates the man page and the
# bash completion from the built tool's own --help texts, so neither can drift from
# what the tool says.
#   harmoniform.1      every --help text: the tool's, then each command's
#   harmoniform.bash   commands, each command's options, --format names and the
#                      parameter names for --set and --automate (from --list-parameters)
# Inputs: TOOL (the built executable), OUT_DIR, VERSION.

function(hm_run out)
  execute_process(COMMAND "${TOOL}" ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "harmoniform ${ARGN} failed (${rc})")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# roff for a block printed as it is: backslashes escaped, minus signs marked,
# lines starting with a control character protected.
function(hm_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The options a help text lists: "  --name ..." at the start of a line, or
# "[--name ...]" in its usage line.
function(hm_options out text)
  # Square brackets would group list items in CMake: the usage line's go first.
  string(REPLACE "[--" "\n  --" text "${text}")
  string(REGEX MATCHALL "\n  --[a-z-]+" found "\n${text}")
  set(options "")
  foreach(f IN LISTS found)
    string(STRIP "${f}" f)
    list(APPEND options "${f}")
  endforeach()
  list(APPEND options "--help")
  list(REMOVE_DUPLICATES options)
  list(JOIN options " " options)
  set(${out} "${options}" PARENT_SCOPE)
endfunction()

hm_run(top --help)
# Commands are the indented words of the "commands:" section; "preset show"
# and "preset make" make preset a command with subcommands.
string(REGEX MATCH "commands:\n(.*)\n\n" section "${top}")
string(REGEX MATCHALL "\n  [a-z]+( [a-z]+)?" lines "\n${CMAKE_MATCH_1}")
set(commands "")
set(pages "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  string(REPLACE " " ";" words "${line}")
  list(GET words 0 command)
  list(APPEND commands "${command}")
  list(LENGTH words n)
  if(n EQUAL 2)
    list(GET words 1 second)
    # A second lower-case word is a subcommand when the command's help names it.
    hm_run(probe ${command} --help)
    if(probe MATCHES "harmoniform ${command} ${second}")
      list(APPEND pages "${command} ${second}")
      list(APPEND "subcommands_${command}" "${second}")
      continue()
    endif()
  endif()
  list(APPEND pages "${command}")
endforeach()
list(REMOVE_DUPLICATES commands)
list(REMOVE_DUPLICATES pages)

hm_roff(top_roff "${top}")
set(man ".TH HARMONIFORM 1 \"\" \"harmoniform ${VERSION}\" \"User Commands\"
.SH NAME
harmoniform \\- run the Harmoniform equaliser plug-in without a host: render, measure, presets
.SH SYNOPSIS
.B harmoniform
.I COMMAND
.RI [ ARGS ]
.SH DESCRIPTION
.nf
${top_roff}.fi
.SH COMMANDS
")
set(option_cases "")
foreach(page IN LISTS pages)
  string(REPLACE " " ";" words "${page}")
  hm_run(help ${words} --help)
  hm_roff(help_roff "${help}")
  string(APPEND man ".SS harmoniform ${page}\n.nf\n${help_roff}.fi\n")
  hm_options(options "${help}")
  string(REPLACE " " "/" key "${page}")
  string(APPEND option_cases "        ${key}) options=\"${options}\" ;;\n")
endforeach()
string(APPEND man ".SH SEE ALSO
The README of the Harmoniform sources, section \"The harmoniform command\".
")
file(WRITE "${OUT_DIR}/harmoniform.1" "${man}")

hm_run(parameters --list-parameters)
string(STRIP "${parameters}" parameters)
string(REPLACE "\n" " " parameters "${parameters}")
hm_run(render_help render --help)
string(REGEX MATCH "width: ([a-z0-9, ]+)" ignored "${render_help}")
string(REPLACE "," "" formats "${CMAKE_MATCH_1}")
list(JOIN commands " " command_words)
set(subcommand_cases "")
foreach(command IN LISTS commands)
  if(DEFINED "subcommands_${command}")
    list(JOIN "subcommands_${command}" " " words)
    string(APPEND subcommand_cases "        ${command}) COMPREPLY=($(compgen -W \"${words}\" -- \"$cur\")); return ;;\n")
  endif()
endforeach()

file(WRITE "${OUT_DIR}/harmoniform.bash" "# bash completion for harmoniform ${VERSION}, generated from its --help texts.
_harmoniform() {
    local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
    local commands=\"${command_words}\"
    local formats=\"${formats}\"
    local parameters=\"${parameters}\"
    if [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W \"$commands --help --version --list-parameters\" -- \"$cur\"))
        return
    fi
    local command=\${COMP_WORDS[1]} key=\${COMP_WORDS[1]}
    if [[ $COMP_CWORD -eq 2 ]]; then
        case $command in
${subcommand_cases}        esac
    fi
    case $command in
        preset) key=\"preset/\${COMP_WORDS[2]}\" ;;
    esac
    case $prev in
        --set|--automate)
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -W \"$parameters\" -S = -- \"$cur\"))
            return ;;
        --format) COMPREPLY=($(compgen -W \"$formats\" -- \"$cur\")); return ;;
        --program) COMPREPLY=($(compgen -W \"$(echo {1..20})\" -- \"$cur\")); return ;;
        --preset) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -X '!*.hmp' -- \"$cur\") $(compgen -d -- \"$cur\")); return ;;
        --import) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -X '!*.txt' -- \"$cur\") $(compgen -d -- \"$cur\")); return ;;
        --bank) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -X '!*.hm[bp]' -- \"$cur\") $(compgen -d -- \"$cur\")); return ;;
        --plugin) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -X '!*.so' -- \"$cur\") $(compgen -d -- \"$cur\")); return ;;
        --out) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\")); return ;;
        --name|--block|--rate|--size) return ;;
    esac
    local options=\"\"
    case $key in
${option_cases}    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))
    else
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- \"$cur\"))
    fi
}
complete -F _harmoniform harmoniform
")
