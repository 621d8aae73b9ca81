* Um rótulo com brancos no fim não é achado pela forma @: DESVIA falha sem mensagem.
escreve "antes"
desvia @nenhum
escreve "nunca"
@nenhum 
