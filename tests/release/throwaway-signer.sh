# Sourced by the release tests: makes a throwaway self-signed code-signing certificate and its key
# in the folder given, and exports them as SIGN_CERT and SIGN_KEY for tools/make-release.sh.
make_throwaway_signer() {  # folder
  mkdir -p "$1"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway test code signer" \
    -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
    -addext "extendedKeyUsage=codeSigning" \
    -keyout "$1/key.pem" -out "$1/cert.pem" 2>/dev/null || return 1
  export SIGN_CERT=$1/cert.pem SIGN_KEY=$1/key.pem
  unset SIGN_TIMESTAMP_URL
}
